#include "log/fixed_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

namespace tarvo {
namespace {

struct CutCase {
  const char* name;
  std::string text;
  std::size_t max_bytes;
  std::string expected;
};

void PrintTo(const CutCase& c, std::ostream* os) {
  *os << c.name;
}

class FixedTextCut : public ::testing::TestWithParam<CutCase> {};

// The text sits in a heap block of exactly its size, so a read past its end is
// caught by the address sanitizer rather than landing on a terminating zero.
TEST_P(FixedTextCut, CutsAtCharacterBoundaries) {
  const CutCase& c = GetParam();
  auto block = std::make_unique<char[]>(c.text.size());
  std::copy(c.text.begin(), c.text.end(), block.get());
  const std::string_view cut = cut_utf8({block.get(), c.text.size()}, c.max_bytes);
  EXPECT_EQ(std::string(cut), c.expected);
  EXPECT_EQ(cut.data(), block.get());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedTextCut,
    ::testing::Values(CutCase{"Shorter", "0.4254", 10, "0.4254"},
                      CutCase{"Exact", "-12.345678", 10, "-12.345678"},
                      CutCase{"TwelveToTen", "123456789012", 10, "1234567890"},
                      CutCase{"OhmWouldSplit", "123456789\xCE\xA9", 10, "123456789"},
                      CutCase{"OhmFits", "12345678\xCE\xA9xyz", 10, "12345678\xCE\xA9"},
                      CutCase{"CelsiusAfterOne", "12345678\xE2\x84\x83", 9, "12345678"},
                      CutCase{"CelsiusAfterTwo", "12345678\xE2\x84\x83", 10, "12345678"},
                      CutCase{"CelsiusFits", "1234567\xE2\x84\x83z", 10, "1234567\xE2\x84\x83"},
                      CutCase{"FourByteChar", "123456\xF0\x9F\x98\x80z", 9, "123456"},
                      CutCase{"ZeroCapacity", "abc", 0, ""},
                      CutCase{"LoneContinuationBytes", "\x80\x80\x80\x80", 3, "\x80\x80\x80"},
                      CutCase{"TruncatedAtEnd", "12345678\xE2\x84", 9, "12345678\xE2"},
                      CutCase{"LeadWithoutContinuation",
                              "\xCE"
                              "AB",
                              2,
                              "\xCE"
                              "A"},
                      CutCase{"Overlong", "\xC0\x80\xC0\x80", 3, "\xC0\x80\xC0"},
                      CutCase{"Surrogate", "\xED\xA0\x80z", 2, "\xED\xA0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FixedTextCharLength, ReportsWellFormedLengthsAndOneOtherwise) {
  const std::string text = "a\xCE\xA9\xE2\x84\x83\xF0\x9F\x98\x80\xFF";
  EXPECT_EQ(utf8_char_length(text, 0), 1u);
  EXPECT_EQ(utf8_char_length(text, 1), 2u);
  EXPECT_EQ(utf8_char_length(text, 2), 1u);  // inside a character
  EXPECT_EQ(utf8_char_length(text, 3), 3u);
  EXPECT_EQ(utf8_char_length(text, 6), 4u);
  EXPECT_EQ(utf8_char_length(text, 10), 1u);
  EXPECT_EQ(utf8_char_length(text, 11), 0u);
}

TEST(FixedText, KeepsOnlyTheCutTextAndComparesByContent) {
  FixedText<10> field("1.2345 M\xCE\xA9 ");
  EXPECT_EQ(field.view(), "1.2345 M\xCE\xA9");
  EXPECT_EQ(field.size(), 10u);

  field.assign("OL");
  EXPECT_EQ(field.str(), "OL");
  EXPECT_EQ(field, FixedText<10>("OL"));
  field.assign("");
  EXPECT_TRUE(field.empty());
}

}  // namespace
}  // namespace tarvo
