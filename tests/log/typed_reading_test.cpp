#include "log/typed_reading.h"

#include <gtest/gtest.h>

#include <array>
#include <span>
#include <vector>

#include "decode/meter_family.h"
#include "decode_test_support.h"

namespace tarvo {
namespace {

using test::hex;

// A frame showing the digits 1 2 3 4 5, with the given function and range codes.
std::vector<std::uint8_t> frame(MeterModel family, int function, int range) {
  const auto f0 = static_cast<std::uint8_t>(0xA0 + range);
  const auto f1 = static_cast<std::uint8_t>(function);
  if (family == MeterModel::ModelNoxel) return {f0, f1, 0x10, 1, 2, 3, 4, 5};
  return {f0, f1, 0x10, 0x00, 1, 2, 3, 4, 5, 0, 0, 0, 0, 0};
}

CurrentReading decoded(MeterModel family, const std::vector<std::uint8_t>& bytes,
                       const std::string& separator) {
  RxBuffer rx = test::buffer_with(bytes);
  CurrentReading reading;
  EXPECT_TRUE(family_of(family)->decode(rx, reading, test::with_separator(separator)));
  return reading;
}

std::string with_point(std::string text, const std::string& separator) {
  const std::size_t at = text.find(separator);
  if (at != std::string::npos) text.replace(at, separator.size(), ".");
  return text;
}

TypedReading typed(const CurrentReading& r, const std::string& separator) {
  return typed_reading(r.Main_No, r.Main_Range, r.Sub_No, r.Sub_range, separator);
}

// Each function of a family at range codes 0 to 5: the main number 12345 in
// base units, as its exact text.
struct FunctionRow {
  int code;
  const char* function;
  const char* base_unit;
  std::array<const char*, 6> base;
};

constexpr std::array<const char*, 6> kVolts{"1.2345", "12.345", "123.45",
                                            "1234.5", "12345",  "12345"};
constexpr std::array<const char*, 6> kMillivolts{"0.012345", "0.12345", "12.345",
                                                 "12.345",   "12.345",  "12.345"};
constexpr std::array<const char*, 6> kHertz{"12.345", "123.45", "1234.5",
                                            "12345",  "123450", "1234500"};
constexpr std::array<const char*, 6> kOhms{"123.45", "1234.5",  "12345",
                                           "123450", "1234500", "12345000"};
constexpr std::array<const char*, 6> kContinuity{"123.45", "12345", "12345",
                                                 "12345",  "12345", "12345"};
constexpr std::array<const char*, 6> kFarads{"0.00000012345", "0.00000012345", "0.000012345",
                                             "0.00012345",    "0.0012345",     "0.012345"};
constexpr std::array<const char*, 6> kMicroamps{"0.00012345", "0.0012345", "0.012345",
                                                "0.012345",   "0.012345",  "0.012345"};
constexpr std::array<const char*, 6> kMilliamps = kMillivolts;
constexpr std::array<const char*, 6> kAmps{"1.2345", "12.345", "12345", "12345", "12345", "12345"};
constexpr std::array<const char*, 6> kHundredths{"123.45", "12345", "12345",
                                                 "12345",  "12345", "12345"};

const FunctionRow kBenchRows[] = {
    {0, "ACV", "V", kVolts},          {1, "DCV", "V", kVolts},
    {2, "DCV+ACV", "V", kVolts},      {3, "DCV", "V", kMillivolts},
    {4, "ACV", "V", kMillivolts},     {5, "DCV+ACV", "V", kMillivolts},
    {6, "FRE", "Hz", kHertz},         {7, "DIO", "V", kVolts},
    {8, "OHM", "\u03A9", kOhms},      {9, "CON", "\u03A9", kContinuity},
    {10, "CAP", "F", kFarads},        {11, "DCA", "A", kMicroamps},
    {12, "ACA", "A", kMicroamps},     {13, "DCA+ACA", "A", kMicroamps},
    {14, "DCA", "A", kMilliamps},     {15, "ACA", "A", kMilliamps},
    {16, "DCA+ACA", "A", kMilliamps}, {17, "DCA", "A", kAmps},
    {18, "ACA", "A", kAmps},          {19, "ACA+DCA", "A", kAmps},
};

const FunctionRow kCompactRows[] = {
    {0, "ACV", "V", kVolts},          {1, "dBm", "dBm", kHundredths},
    {2, "DCV", "V", kVolts},          {3, "DCV+ACV", "V", kVolts},
    {4, "DCV", "V", kMillivolts},     {5, "ACV", "V", kMillivolts},
    {6, "DCV+ACV", "V", kMillivolts}, {7, "FRE", "Hz", kHertz},
    {8, "DUT", "%", kHundredths},     {9, "DIO", "V", kVolts},
    {10, "OHM", "\u03A9", kOhms},     {11, "CON", "\u03A9", kContinuity},
    {12, "CAP", "F", kFarads},        {13, "DCA", "A", kMicroamps},
    {14, "ACA", "A", kMicroamps},     {15, "DCA+ACA", "A", kMicroamps},
    {16, "DCA", "A", kMilliamps},     {17, "ACA", "A", kMilliamps},
    {18, "DCA+ACA", "A", kMilliamps}, {19, "DCA", "A", kAmps},
    {20, "ACA", "A", kAmps},          {21, "ACA+DCA", "A", kAmps},
};

void expect_rows(MeterModel family, std::span<const FunctionRow> rows) {
  for (const std::string separator : {".", ","}) {
    for (const FunctionRow& row : rows) {
      for (int range = 0; range < 6; ++range) {
        SCOPED_TRACE(std::string(row.function) + " code " + std::to_string(row.code) + " range " +
                     std::to_string(range) + " separator " + separator);
        const CurrentReading r = decoded(family, frame(family, row.code, range), separator);
        const TypedReading t = typed(r, separator);
        const auto base = static_cast<std::size_t>(range);
        EXPECT_EQ(t.main.function, row.function);
        EXPECT_EQ(t.main.base_unit, row.base_unit);
        EXPECT_EQ(t.main.base_text, row.base[base]);
        ASSERT_TRUE(t.main.base_value.has_value());
        EXPECT_DOUBLE_EQ(*t.main.base_value, std::stod(row.base[base]));
        // The number as shown is the display's text read with the separator.
        EXPECT_DOUBLE_EQ(*t.main.value, std::stod(with_point(r.Main_No, separator)));
        EXPECT_FALSE(t.main.overload);
        EXPECT_FALSE(t.sub.has_value());
      }
    }
  }
}

TEST(TypedReading, EveryBenchFunctionAndRangeInBaseUnits) {
  expect_rows(MeterModel::ModelTarvo, kBenchRows);
}

TEST(TypedReading, EveryCompactFunctionAndRangeInBaseUnits) {
  expect_rows(MeterModel::ModelNoxel, kCompactRows);
}

struct ShownCase {
  const char* name;
  const char* main_no;
  const char* main_range;
  const char* separator;
  std::optional<double> value;
  const char* unit;
  const char* base_text;
  bool overload;
};

TEST(TypedReading, OverloadsSignsAndTextsThatAreNoNumber) {
  const ShownCase cases[] = {
      {"OL", "OL", "DCV AUTO 50.000 V", ".", std::nullopt, "V", "", true},
      {"NegativeOL", "-OL", "OHM MANU 5.0000 M\u03A9", ",", std::nullopt, "M\u03A9", "", true},
      {"SignOnly", "-", "DCV AUTO 50.000 V", ".", std::nullopt, "V", "", false},
      {"Negative", "-12,345", "DCV AUTO 50,000 mV", ",", -12.345, "mV", "-0.012345", false},
      {"NegativeZero", "-0.000", "DCA AUTO 5.0000 A", ".", 0.0, "A", "0", false},
      {"OtherSeparatorIsNoNumber", "1.5", "DCV AUTO 5,0000 V", ",", std::nullopt, "V", "", false},
      {"UnknownUnit", "12.5", "XYZ AUTO 50.0 furlong", ".", 12.5, "furlong", "", false},
      {"UndefinedFunction", "12345", " AUTO  ", ".", 12345.0, "", "", false},
  };
  for (const ShownCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TypedReading t = typed_reading(c.main_no, c.main_range, "", "  ", c.separator);
    EXPECT_EQ(t.main.value, c.value);
    EXPECT_EQ(t.main.unit, c.unit);
    EXPECT_EQ(t.main.base_text, c.base_text);
    EXPECT_EQ(t.main.base_value.has_value(), *c.base_text != '\0');
    EXPECT_EQ(t.main.overload, c.overload);
  }
}

TEST(TypedReading, TheSubDisplayHasItsOwnFunctionAndUnit) {
  const CurrentReading r =
      decoded(MeterModel::ModelTarvo, hex("A1 01 31 20 01 02 03 04 05 00 00 00 06 00"), ",");
  const TypedReading t = typed(r, ",");
  ASSERT_TRUE(t.sub.has_value());
  EXPECT_EQ(t.main.base_text, "-12.345");
  EXPECT_EQ(t.sub->function, "FRE");
  EXPECT_EQ(t.sub->unit, "KHz");
  EXPECT_EQ(t.sub->value, 0.006);
  EXPECT_EQ(t.sub->base_text, "6");
  EXPECT_EQ(t.sub->base_unit, "Hz");

  // Sub display off, but its overload bit lights "OL" there.
  const TypedReading off = typed(
      decoded(MeterModel::ModelTarvo, hex("A0 00 48 00 00 04 02 05 04 00 00 00 00 00"), "."), ".");
  ASSERT_TRUE(off.sub.has_value());
  EXPECT_TRUE(off.sub->overload);
  EXPECT_EQ(off.sub->function, "");
  EXPECT_FALSE(off.sub->value.has_value());
}

}  // namespace
}  // namespace tarvo
