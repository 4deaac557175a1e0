#include "files/text_encoding.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace tarvo {
namespace {

using namespace std::string_literals;

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::string expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
  *os << c.name;
}

class TextLogEncoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(TextLogEncoding, DecodesToValidUtf8) {
  const std::string text = decode_file_text(GetParam().bytes);
  EXPECT_EQ(text, GetParam().expected);
  EXPECT_TRUE(is_valid_utf8(text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLogEncoding,
    ::testing::Values(DecodeCase{"Ascii", "1\r\nA\tB", "1\r\nA\tB"},
                      DecodeCase{"Utf8Kept", "M\xCE\xA9 \xE2\x84\x83", "M\xCE\xA9 \xE2\x84\x83"},
                      DecodeCase{"NulEnds", "ab\0cd"s, "ab"},
                      DecodeCase{"Utf8MarkDropped", "\xEF\xBB\xBFk\xCE\xA9", "k\xCE\xA9"},
                      DecodeCase{"Utf8MarkWithBrokenBytes",
                                 "\xEF\xBB\xBF"
                                 "a\xCE"
                                 "b\xFF",
                                 "a\uFFFDb\uFFFD"},
                      DecodeCase{"Gb18030OhmAndCelsius", "M\xA6\xB8 \xA1\xE6", "M\u03A9 \u2103"},
                      DecodeCase{"Gb18030FourBytes", "\x81\x30\x81\x30", "\u0080"},
                      DecodeCase{"Gb18030BadBytesReplaced",
                                 "a\x80"
                                 "b\xFF"
                                 "c\xA6",
                                 "a\uFFFDb\uFFFDc\uFFFD"},
                      DecodeCase{"Gb18030NulEnds", "\xA6\xB8\0\xA6\xB8"s, "\u03A9"},
                      DecodeCase{"Utf16Le",
                                 "\xFF\xFE"
                                 "1\0\xA9\x03"s,
                                 "1\u03A9"},
                      DecodeCase{"Utf16Be",
                                 "\xFE\xFF\0"
                                 "1\x03\xA9"s,
                                 "1\u03A9"},
                      DecodeCase{"Utf16SurrogatePair", "\xFF\xFE\x3D\xD8\x00\xDE"s, "\U0001F600"},
                      DecodeCase{"Utf16LoneSurrogates",
                                 "\xFF\xFE\x00\xDE\x3D\xD8"
                                 "a\0"s,
                                 "\uFFFD\uFFFDa"},
                      DecodeCase{"Utf16NulEnds",
                                 "\xFF\xFE"
                                 "a\0\0\0b\0"s,
                                 "a"},
                      DecodeCase{"Utf16OddByteDropped",
                                 "\xFF\xFE"
                                 "a\0b"s,
                                 "a"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvo
