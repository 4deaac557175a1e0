#include "log/range_fields.h"
#include "log/reading_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace tarvo {
namespace {

struct SplitCase {
  const char* name;
  std::string main_range;
  std::string function_key;
  std::string range_text;
  std::string unit_text;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << c.name;
}

class RangeFieldsSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(RangeFieldsSplit, TakesFunctionRangeAndUnit) {
  const SplitCase& c = GetParam();
  const RangeFields f = split_main_range(c.main_range);
  EXPECT_EQ(f.function_key, c.function_key);
  EXPECT_EQ(f.range_text, c.range_text);
  EXPECT_EQ(f.unit_text, c.unit_text);
}

// The window for range and unit starts five characters after the first space
// and is 20 characters long; the ohm sign is one character of two bytes.
INSTANTIATE_TEST_SUITE_P(
    Cases, RangeFieldsSplit,
    ::testing::Values(
        SplitCase{"AcVolts", "ACV AUTO 5.0000 V", "ACV ", "5.0000", "V"},
        SplitCase{"KiloOhm", "OHM MANU 50.000 K\u03A9", "OHM ", "50.000", "K\u03A9"},
        SplitCase{"LongFunction", "ACA+DCA AUTO 10.000 A", "ACA+DCA ", "10.000", "A"},
        SplitCase{"NoRange", "CON MANU  \u03A9", "CON ", "", "\u03A9"},
        SplitCase{"UndefinedRange", "dBm AUTO  dBm", "dBm ", "", "dBm"},
        SplitCase{"CommaSeparator", "DCV AUTO 5,0000 V", "DCV ", "5,0000", "V"},
        SplitCase{"Empty", "", "", "", ""},
        SplitCase{"NoSpace", "ACVAUTO5.0000V", "", "", "TO5.0000V"},
        SplitCase{"ShortAfterSpace", "ACV AUT", "ACV ", "", ""},
        SplitCase{"TrailingControls", "DCV AUTO 5.0000 V\t\r", "DCV ", "5.0000", "V"},
        SplitCase{"WindowCutsUnit", "DCV AUTO 5.0000 ABCDEFGHIJKLMNOPQRSTUVWXYZ", "DCV ", "5.0000",
                  "ABCDEFGHIJKLM"},
        SplitCase{"WindowCountsCharacters",
                  "X AUTO 1 \u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9"
                  "\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9",
                  "X ", "1",
                  "\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9\u03A9"
                  "\u03A9\u03A9\u03A9\u03A9\u03A9"},
        SplitCase{"OhmInRangeWord", "OHM \u03A9\u03A9\u03A9\u03A9 5.0000 M\u03A9", "OHM ", "5.0000",
                  "M\u03A9"},
        SplitCase{"ExtraSpaces", "DCV AUTO 5.0000   V  ", "DCV ", "5.0000", "V"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ScaledCase {
  const char* name;
  std::string text;
  std::string separator;
  std::optional<std::int64_t> expected;
};

void PrintTo(const ScaledCase& c, std::ostream* os) {
  *os << c.name;
}

class ScaledDecimal : public ::testing::TestWithParam<ScaledCase> {};

TEST_P(ScaledDecimal, ConvertsExactly) {
  const ScaledCase& c = GetParam();
  EXPECT_EQ(scaled_decimal(c.text, c.separator), c.expected);
}

constexpr std::int64_t kMax = INT64_MAX;

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaledDecimal,
    ::testing::Values(
        ScaledCase{"FourDecimals", "0.4254", ".", 4254},
        ScaledCase{"Negative", "-12.345", ".", -123450}, ScaledCase{"Plus", "+1.5", ".", 15000},
        ScaledCase{"Integer", "50", ".", 500000}, ScaledCase{"TrailingSeparator", "5.", ".", 50000},
        ScaledCase{"LeadingSeparator", ".5", ".", 5000}, ScaledCase{"NegativeZero", "-0", ".", 0},
        ScaledCase{"Comma", "5,0000", ",", 50000}, ScaledCase{"CommaUnderPoint", "5,0000", ".", {}},
        ScaledCase{"PointUnderComma", "5.0000", ",", {}},
        ScaledCase{"CommaIntegerAnywhere", "50", ",", 500000},
        ScaledCase{"MultiByteSeparator", "1\u066B25", "\u066B", 12500},
        // Binary floating point would give 10000.4999... and round down.
        ScaledCase{"FifthDecimalHalf", "1.00005", ".", 10001},
        ScaledCase{"FifthDecimalBelowHalf", "1.000049999", ".", 10000},
        ScaledCase{"NegativeHalfAwayFromZero", "-1.00005", ".", -10001},
        ScaledCase{"ManyLeadingZeros", "000000000000000000000000001", ".", 10000},
        ScaledCase{"Largest", "922337203685477.5807", ".", kMax},
        ScaledCase{"RoundingPastLargest", "922337203685477.58075", ".", {}},
        ScaledCase{"TooLarge", "922337203685478", ".", {}}, ScaledCase{"Empty", "", ".", {}},
        ScaledCase{"SignOnly", "-", ".", {}}, ScaledCase{"SeparatorOnly", ".", ".", {}},
        ScaledCase{"Overload", "OL", ".", {}}, ScaledCase{"Spaces", " 1.5", ".", {}},
        ScaledCase{"TrailingText", "1.5V", ".", {}}, ScaledCase{"TwoSeparators", "1.5.0", ".", {}},
        ScaledCase{"Exponent", "1E3", ".", {}}, ScaledCase{"DoubleSign", "--1", ".", {}},
        ScaledCase{"NoSeparatorGiven", "1.5", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct MainValueCase {
  const char* name;
  std::string main_no;
  std::string main_range;
  std::optional<std::int64_t> expected;
};

void PrintTo(const MainValueCase& c, std::ostream* os) {
  *os << c.name;
}

class ScaledMainValue : public ::testing::TestWithParam<MainValueCase> {};

TEST_P(ScaledMainValue, OverloadTakesFullScale) {
  const MainValueCase& c = GetParam();
  EXPECT_EQ(scaled_main_value(c.main_no, c.main_range, "."), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaledMainValue,
    ::testing::Values(MainValueCase{"Number", "1.2345", "DCV AUTO 5.0000 V", 12345},
                      MainValueCase{"NumberWithoutRange", "1.2345", "", 12345},
                      MainValueCase{"Overload", "OL", "DCV AUTO 50.000 V", 500000},
                      MainValueCase{"NegativeOverload", "-OL", "DCV AUTO 50.000 V", -500000},
                      MainValueCase{"OverloadWithoutRange", "OL", "CON MANU  \u03A9", {}},
                      MainValueCase{"LowerCaseIsNoOverload", "ol", "DCV AUTO 50.000 V", {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvo
