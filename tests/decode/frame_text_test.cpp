#include "decode/frame_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/range_table.h"

namespace tarvo {
namespace {

constexpr const char* kArabicSeparator = "\u066B";  // two bytes in UTF-8

TEST(FrameText, LocalisePointReplacesOnlyTheFirstPoint) {
  const struct {
    const char* range;
    const char* separator;
    std::string expected;
  } cases[] = {
      {"5.0000", ",", "5,0000"},
      {"5.0000", ".", "5.0000"},
      {"5000", ",", "5000"},
      {"", ",", ""},
      {".5", ",", ",5"},
      {"1.2.3", ",", "1,2.3"},
      {"1.12345678901234", ",", "1,1234567890"},  // at most ten after the point
      {"5.0000", kArabicSeparator, std::string("5") + kArabicSeparator + "0000"},
      {"5.0000", "", "50000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(localise_point(c.range, c.separator), c.expected) << c.range << " " << c.separator;
  }
}

TEST(FrameText, DecimalPointFollowsTheRangeText) {
  const std::string ar = kArabicSeparator;
  const struct {
    std::string digits;
    std::string range;
    std::string separator;
    std::string expected;
  } cases[] = {
      {"00425", "5,0000", ",", "0,0425"},
      {"12345", "50,000", ",", "12,345"},
      {"12345", "1000,0", ",", "1234,5"},
      {"12345", "5000", ",", "12345"},
      {"12345", "", ",", "12345"},
      {"12345", "5000,", ",", "12345"},   // nothing after the separator
      {"12345", "5.0000", ",", "12345"},  // range text not localised: no separator
      {"12345", "5" + ar + "0000", ar, "1" + ar + "2345"},
      {"12345", "50" + ar + "000", ar, "12" + ar + "345"},
      {"12345", "0,123456789", ",", ",12345"},  // more decimals than digits
      {"12345", "5,0000", "", "12345"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(place_decimal_point(c.digits, c.range, c.separator), c.expected)
        << c.digits << " " << c.range;
  }
}

TEST(FrameText, LeadingZerosGoButOneStaysBeforeThePoint) {
  const std::string ar = kArabicSeparator;
  const struct {
    std::string number;
    std::string separator;
    std::string expected;
  } cases[] = {
      {"00000", ".", "0"},
      {"00.000", ".", "0.000"},
      {"0.4254", ".", "0.4254"},
      {"04254", ".", "4254"},
      {"000,12", ",", "0,12"},
      {"000.12", ",", ".12"},  // only the given separator protects the zero
      {"0", ".", "0"},
      {"", ".", ""},
      {"0" + ar + "5", ar, "0" + ar + "5"},
      {"000" + ar + "5", ar, "0" + ar + "5"},
      {"0012", "", "12"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(strip_leading_zeros(c.number, c.separator), c.expected) << c.number;
  }
}

TEST(FrameText, DigitsAreReadModuloTen) {
  const std::vector<std::uint8_t> digits{0, 9, 10, 0x5B, 0xFF};
  EXPECT_EQ(digits_text(digits), "09015");
}

TEST(FrameText, RangeLookupCodesAndUnits) {
  const struct {
    const char* function;
    const char* unit;
    int code;
    const char* text;
    const char* new_unit;
  } cases[] = {
      {"DIO", "V", 3, "1000.0", "V"},       // picked by its unit
      {"OHM", "Ohm", 1, "5.0000", "KOhm"},  // the ohm sign is substituted
      {"OHM", "Ohm", 5, "50.000", "MOhm"},
      {"OHM", "Ohm", 0, "500.00", "Ohm"},
      {"CAP", "uF", 1, "50.00", "nF"},
      {"FRE", "Hz", 5, "9.9999", "MHz"},
      {"DCV", "V", 4, "", "V"},  // empty cell
      {"DCV", "V", 6, "", "V"},
      {"DCV", "V", -1, "", "V"},
      {"XYZ", "Q", 0, "", "Q"},  // no row
      {"", "", 0, "", ""},
  };
  for (const auto& c : cases) {
    const RangeChoice choice = lookup_range(kRangeTable, c.function, c.unit, c.code, "Ohm");
    EXPECT_EQ(choice.text, c.text) << c.function << " " << c.code;
    EXPECT_EQ(choice.unit, c.new_unit) << c.function << " " << c.code;
  }
}

TEST(FrameText, OhmMarkBecomesTheLanguagesSign) {
  EXPECT_EQ(localise_unit("K\u03A9", "Ohm"), "KOhm");
  EXPECT_EQ(localise_unit("\u03A9", ""), "");
  EXPECT_EQ(localise_unit("uF", "Ohm"), "uF");
}

TEST(FrameText, OverloadAndSign) {
  const struct {
    const char* number;
    bool overload;
    bool negative;
    const char* shown;
  } cases[] = {
      {"12.3", false, false, "12.3"}, {"12.3", false, true, "-12.3"}, {"12.3", true, false, "OL"},
      {"12.3", true, true, "-OL"},    {"", false, true, "-"},         {"", true, false, "OL"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shown_value(c.number, c.overload, c.negative), c.shown);
  }
}

TEST(FrameText, EmptyPartsStillGetTheirSpaces) {
  EXPECT_EQ(join_with_spaces({"", "AUTO", "", ""}), " AUTO  ");
  EXPECT_EQ(join_with_spaces({"", "", ""}), "  ");
}

}  // namespace
}  // namespace tarvo
