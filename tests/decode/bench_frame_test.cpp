#include "decode/bench_frame.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "decode_test_support.h"

namespace tarvo {
namespace {

using test::buffer_with;
using test::held_bytes;
using test::hex;
using test::localised;
using test::with_separator;
using test::operator+;

constexpr const char* kTestFrame = "A0 00 30 00 00 04 02 05 04 00 00 00 5B 00";

CurrentReading decode(const std::string& frame, const DecodeSettings& settings = {}) {
  RxBuffer rx = buffer_with(hex(frame));
  CurrentReading reading;
  EXPECT_TRUE(decode_bench_frame(rx, reading, settings)) << frame;
  return reading;
}

std::string with_ohm(std::string text, const std::string& ohm) {
  const std::string mark = "\u03A9";
  if (const auto at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), ohm);
  return text;
}

struct ReadingCase {
  const char* frame;
  const char* main_range;
  const char* main_no;
  const char* sub_range;
  const char* sub_no;
};

// Readings of whole frames; expected texts use "." and are checked with every separator.
const ReadingCase kReadings[] = {
    {kTestFrame, "ACV AUTO 5.0000 V", "0.4254", "  ", ""},
    {"A1 01 31 20 01 02 03 04 05 00 00 00 06 00", "DCV AUTO 50.000 V", "-12.345", "FRE 9.9999 KHz",
     "0.0060"},
    {"A4 08 04 00 00 01 02 03 04 00 00 01 02 03", "OHM MANU 5.0000 MΩ", "0.1234", "OHM 5.0000 MΩ",
     "0.0123"},
    {"A1 0E 70 01 00 01 02 03 04 00 04 03 02 01", "DCA AUTO 500.00 mA", "-12.34", "DCA 500.00 mA",
     "-43.21"},
    {"A0 29 10 00 00 00 00 00 00 00 00 00 00 00", "CON MANU 500.00 Ω", "OL", "  ", ""},
    {"A0 00 48 00 00 04 02 05 04 00 00 00 00 00", "ACV MANU 5.0000 V", "0.4254", "  ", "-OL"},
    {"A0 00 50 00 00 04 02 05 04 00 00 00 00 00", "ACV AUTO 5.0000 V", "0.4254", "  ", "-"},
    {"A6 00 10 00 00 04 02 05 04 00 00 00 00 00", "ACV AUTO  V", "4254", "  ", ""},
    {"B4 14 10 00 00 00 00 00 00 00 00 00 00 00", " AUTO  ", "0", "  ", ""},
    {"A1 0A 10 00 00 04 02 05 04 00 00 00 00 00", "CAP AUTO 50.00 nF", "42.54", "  ", ""},
    {"A0 0A 10 00 00 04 02 05 04 00 00 00 00 00", "CAP AUTO 50.00 nF", "42.54", "  ", ""},
    {"A5 08 10 00 00 00 00 00 00 00 00 00 00 00", "OHM AUTO 50.000 MΩ", "0.000", "  ", ""},
    {"A0 00 10 00 00 00 00 00 00 00 00 00 00 00", "ACV AUTO 5.0000 V", "0.0000", "  ", ""},
    // Byte 12 is never checked and reads modulo 10: 0xFF is the digit 5.
    {"A1 01 01 20 00 00 00 00 00 00 00 00 FF 00", "DCV MANU 50.000 V", "0.000", "FRE 9.9999 KHz",
     "0.0050"},
};

TEST(BenchFrame, DecodesReadingsWithEverySeparator) {
  for (const std::string& sep : test::separators()) {
    for (const ReadingCase& c : kReadings) {
      SCOPED_TRACE(c.frame + (" sep " + sep));
      const CurrentReading r = decode(c.frame, with_separator(sep));
      EXPECT_EQ(r.Main_Range, localised(c.main_range, sep));
      EXPECT_EQ(r.Main_No, localised(c.main_no, sep));
      EXPECT_EQ(r.Sub_range, localised(c.sub_range, sep));
      EXPECT_EQ(r.Sub_No, localised(c.sub_no, sep));
    }
  }
}

TEST(BenchFrame, TestFrameSetsEveryFlagAndEmptiesTheBuffer) {
  RxBuffer rx = buffer_with(hex(kTestFrame));
  CurrentReading r;
  r.is_Main_OL = r.is_Sub_OL = r.is_HOLD = r.is_REL = true;
  r.is_Sub_dBm = r.is_Sub_FRE = r.is_Sub_DUT = true;
  r.Stat_Mode = 4;
  ASSERT_TRUE(decode_bench_frame(rx, r, with_separator(",")));
  EXPECT_EQ(r.Func_Name, "ACV");
  EXPECT_EQ(r.Main_Range, "ACV AUTO 5,0000 V");
  EXPECT_EQ(r.Main_No, "0,4254");
  EXPECT_EQ(r.Sub_Func_Name, "");
  EXPECT_TRUE(r.is_AUTO);
  EXPECT_FALSE(r.is_Main_OL || r.is_Sub_OL || r.is_HOLD || r.is_REL || r.is_Sub_dBm ||
               r.is_Sub_FRE || r.is_Sub_DUT);
  EXPECT_EQ(r.Stat_Mode, 0);
  EXPECT_EQ(rx.RxCount(), 0);
  EXPECT_EQ(rx.RxStart(), 0);
}

struct FunctionCase {
  int code;
  const char* main_range;  // range code 0, auto off
  const char* main_no;     // digits 1 2 3 4 5
};

const FunctionCase kFunctions[] = {
    {0, "ACV MANU 5.0000 V", "1.2345"},
    {1, "DCV MANU 5.0000 V", "1.2345"},
    {2, "DCV+ACV MANU 5.0000 V", "1.2345"},
    {3, "DCV MANU 50.000 mV", "12.345"},
    {4, "ACV MANU 50.000 mV", "12.345"},
    {5, "DCV+ACV MANU 50.000 mV", "12.345"},
    {6, "FRE MANU 99.999 Hz", "12.345"},
    {7, "DIO MANU 5.0000 V", "1.2345"},
    {8, "OHM MANU 500.00 Ω", "123.45"},
    {9, "CON MANU 500.00 Ω", "123.45"},
    {10, "CAP MANU 50.00 nF", "123.45"},
    {11, "DCA MANU 500.00 uA", "123.45"},
    {12, "ACA MANU 500.00 uA", "123.45"},
    {13, "DCA+ACA MANU 500.00 uA", "123.45"},
    {14, "DCA MANU 50.000 mA", "12.345"},
    {15, "ACA MANU 50.000 mA", "12.345"},
    {16, "DCA+ACA MANU 50.000 mA", "12.345"},
    {17, "DCA MANU 5.0000 A", "1.2345"},
    {18, "ACA MANU 5.0000 A", "1.2345"},
    {19, "ACA+DCA MANU 5.0000 A", "1.2345"},
    {20, " MANU  ", "12345"},
    {31, " MANU  ", "12345"},
};

std::string frame_hex(int header, int f1, int f2, int f3, const char* digits) {
  char head[16];
  std::snprintf(head, sizeof head, "%02X %02X %02X %02X ", header, f1, f2, f3);
  return head + std::string(digits);
}

TEST(BenchFrame, FunctionTable) {
  for (const FunctionCase& c : kFunctions) {
    SCOPED_TRACE(c.code);
    const CurrentReading r = decode(frame_hex(0xA0, c.code, 0, 0, "01 02 03 04 05 00 00 00 00 00"));
    EXPECT_EQ(r.Main_Range, c.main_range);
    EXPECT_EQ(r.Main_No, c.main_no);
    const std::string main_range = c.main_range;
    EXPECT_EQ(r.Func_Name, main_range.substr(0, main_range.find(' ')));
  }
}

struct RangeCase {
  int function;
  int range;
  const char* main_range;
  const char* main_no;  // digits 1 2 3 4 5
};

const RangeCase kRanges[] = {
    {1, 0, "DCV MANU 5.0000 V", "1.2345"},   {1, 1, "DCV MANU 50.000 V", "12.345"},
    {1, 2, "DCV MANU 500.00 V", "123.45"},   {1, 3, "DCV MANU 1000.0 V", "1234.5"},
    {1, 4, "DCV MANU  V", "12345"},          {1, 5, "DCV MANU  V", "12345"},
    {1, 6, "DCV MANU  V", "12345"},          {1, 31, "DCV MANU  V", "12345"},
    {3, 0, "DCV MANU 50.000 mV", "12.345"},  {3, 1, "DCV MANU 500.00 mV", "123.45"},
    {3, 2, "DCV MANU  mV", "12345"},         {14, 0, "DCA MANU 50.000 mA", "12.345"},
    {14, 1, "DCA MANU 500.00 mA", "123.45"}, {14, 2, "DCA MANU  mA", "12345"},
    {11, 0, "DCA MANU 500.00 uA", "123.45"}, {11, 1, "DCA MANU 5000.0 uA", "1234.5"},
    {11, 2, "DCA MANU  uA", "12345"},        {17, 0, "DCA MANU 5.0000 A", "1.2345"},
    {17, 1, "DCA MANU 10.000 A", "12.345"},  {17, 2, "DCA MANU  A", "12345"},
    {8, 0, "OHM MANU 500.00 Ω", "123.45"},   {8, 1, "OHM MANU 5.0000 KΩ", "1.2345"},
    {8, 2, "OHM MANU 50.000 KΩ", "12.345"},  {8, 3, "OHM MANU 500.00 KΩ", "123.45"},
    {8, 4, "OHM MANU 5.0000 MΩ", "1.2345"},  {8, 5, "OHM MANU 50.000 MΩ", "12.345"},
    {8, 6, "OHM MANU  Ω", "12345"},          {10, 0, "CAP MANU 50.00 nF", "123.45"},
    {10, 1, "CAP MANU 50.00 nF", "123.45"},  {10, 2, "CAP MANU 5.000 uF", "12.345"},
    {10, 3, "CAP MANU 50.00 uF", "123.45"},  {10, 4, "CAP MANU 500.0 uF", "1234.5"},
    {10, 5, "CAP MANU 5000 uF", "12345"},    {6, 0, "FRE MANU 99.999 Hz", "12.345"},
    {6, 1, "FRE MANU 999.99 Hz", "123.45"},  {6, 2, "FRE MANU 9.9999 KHz", "1.2345"},
    {6, 3, "FRE MANU 99.999 KHz", "12.345"}, {6, 4, "FRE MANU 999.99 KHz", "123.45"},
    {6, 5, "FRE MANU 9.9999 MHz", "1.2345"}, {9, 0, "CON MANU 500.00 Ω", "123.45"},
    {9, 1, "CON MANU  Ω", "12345"},          {7, 0, "DIO MANU 5.0000 V", "1.2345"},
    {7, 1, "DIO MANU 50.000 V", "12.345"},   {7, 3, "DIO MANU 1000.0 V", "1234.5"},
    {7, 4, "DIO MANU  V", "12345"},          {20, 0, " MANU  ", "12345"},
};

TEST(BenchFrame, RangeTableWithEverySeparatorAndOhmSign) {
  for (const std::string& sep : test::separators()) {
    for (const std::string ohm : {"\u03A9", "Ohm"}) {
      DecodeSettings settings = with_separator(sep);
      settings.ohm_sign = ohm;
      for (const RangeCase& c : kRanges) {
        SCOPED_TRACE(testing::Message() << c.function << "/" << c.range << " " << sep << ohm);
        const CurrentReading r = decode(
            frame_hex(0xA0 + c.range, c.function, 0, 0, "01 02 03 04 05 00 00 00 00 00"), settings);
        EXPECT_EQ(r.Main_Range, with_ohm(localised(c.main_range, sep), ohm));
        EXPECT_EQ(r.Main_No, localised(c.main_no, sep));
      }
    }
  }
}

TEST(BenchFrame, SingleRangeFunctionsAreNeverAuto) {
  const struct {
    int function;
    const char* main_range;
    bool is_auto;
  } cases[] = {
      {7, "DIO MANU 5.0000 V", false},
      {9, "CON MANU 500.00 Ω", false},
      {1, "DCV AUTO 5.0000 V", true},
      {2, "DCV+ACV AUTO 5.0000 V", true},
  };
  for (const auto& c : cases) {
    const CurrentReading r =
        decode(frame_hex(0xA0, c.function, 0x10, 0, "00 00 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(r.Main_Range, c.main_range);
    EXPECT_EQ(r.is_AUTO, c.is_auto) << c.main_range;
  }
}

TEST(BenchFrame, EachFlagBitSetsItsOwnFieldOnly) {
  using Flag = bool CurrentReading::*;
  const struct {
    int f1, f2, f3;
    Flag flag;
  } cases[] = {
      {0x40, 0, 0, &CurrentReading::is_HOLD},    {0x20, 0, 0, &CurrentReading::is_Main_OL},
      {0, 0x10, 0, &CurrentReading::is_AUTO},    {0, 0x08, 0, &CurrentReading::is_Sub_OL},
      {0, 0x04, 0, &CurrentReading::is_REL},     {0, 0x02, 0, &CurrentReading::is_Sub_dBm},
      {0, 0x01, 0, &CurrentReading::is_Sub_FRE}, {0, 0, 0x08, &CurrentReading::is_Sub_DUT},
  };
  const Flag all[] = {&CurrentReading::is_HOLD,    &CurrentReading::is_Main_OL,
                      &CurrentReading::is_AUTO,    &CurrentReading::is_Sub_OL,
                      &CurrentReading::is_REL,     &CurrentReading::is_Sub_dBm,
                      &CurrentReading::is_Sub_FRE, &CurrentReading::is_Sub_DUT};
  for (const auto& c : cases) {
    RxBuffer rx =
        buffer_with(hex(frame_hex(0xA0, c.f1, c.f2, c.f3, "00 00 00 00 00 00 00 00 00 00")));
    CurrentReading r;
    for (const Flag f : all) r.*f = true;  // every frame writes every flag
    r.Stat_Mode = 3;
    ASSERT_TRUE(decode_bench_frame(rx, r, {}));
    for (const Flag f : all) EXPECT_EQ(r.*f, f == c.flag) << c.f1 << " " << c.f2 << " " << c.f3;
    EXPECT_EQ(r.Stat_Mode, 0);
  }
}

TEST(BenchFrame, StatisticsModeIsTheLowThreeBitsOfByte3) {
  for (const int f3 : {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x7D, 0x0B}) {
    const CurrentReading r = decode(frame_hex(0xA0, 0, 0, f3, "00 00 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(r.Stat_Mode, f3 & 7) << f3;
  }
}

struct SubCase {
  const char* frame;
  const char* sub_function;
  const char* sub_range;
  const char* sub_no;
};

// DCV on its 50 V range, sub digits 0 1 2 3 4. Rows that apply overwrite the
// earlier ones: statistics, frequency, dBm, duty cycle, relative.
const SubCase kSubDisplays[] = {
    {"A1 01 00 00 00 00 00 00 00 00 01 02 03 04", "", "  ", ""},
    {"A1 01 00 01 00 00 00 00 00 00 01 02 03 04", "DCV", "DCV 50.000 V", "1.234"},
    {"A1 01 00 04 00 00 00 00 00 00 01 02 03 04", "DCV", "DCV 50.000 V", "1.234"},
    {"A1 01 00 07 00 00 00 00 00 00 01 02 03 04", "DCV", "DCV 50.000 V", "1.234"},
    {"A1 01 01 00 00 00 00 00 00 00 01 02 03 04", "FRE", "FRE 99.999 Hz", "1.234"},
    {"A1 01 01 10 00 00 00 00 00 00 01 02 03 04", "FRE", "FRE 999.99 Hz", "12.34"},
    {"A1 01 01 20 00 00 00 00 00 00 01 02 03 04", "FRE", "FRE 9.9999 KHz", "0.1234"},
    {"A1 01 01 30 00 00 00 00 00 00 01 02 03 04", "FRE", "FRE 99.999 KHz", "1.234"},
    {"A1 01 01 40 00 00 00 00 00 00 01 02 03 04", "", "  ", ""},
    {"A1 01 01 70 00 00 00 00 00 00 01 02 03 04", "", "  ", ""},
    {"A1 01 01 41 00 00 00 00 00 00 01 02 03 04", "DCV", "DCV 50.000 V", "1.234"},
    {"A1 01 00 30 00 00 00 00 00 00 01 02 03 04", "", "  ", ""},
    {"A1 01 02 00 00 00 00 00 00 00 01 02 03 04", "dBm", "dBm 99.99 dBm", "12.34"},
    {"A1 01 00 08 00 00 00 00 00 00 01 02 03 04", "DUT", "DUT 99.99 %", "12.34"},
    {"A1 01 04 00 00 00 00 00 00 00 01 02 03 04", "DCV", "DCV 50.000 V", "1.234"},
    {"A1 01 01 21 00 00 00 00 00 00 01 02 03 04", "FRE", "FRE 9.9999 KHz", "0.1234"},
    {"A1 01 03 00 00 00 00 00 00 00 01 02 03 04", "dBm", "dBm 99.99 dBm", "12.34"},
    {"A1 01 02 08 00 00 00 00 00 00 01 02 03 04", "DUT", "DUT 99.99 %", "12.34"},
    {"A1 01 01 09 00 00 00 00 00 00 01 02 03 04", "DUT", "DUT 99.99 %", "12.34"},
    {"A1 01 05 00 00 00 00 00 00 00 01 02 03 04", "DCV", "DCV 50.000 V", "1.234"},
    {"A1 01 07 3F 00 00 00 00 00 00 01 02 03 04", "DCV", "DCV 50.000 V", "1.234"},
    // Relative mode copies the main range after its unit change, or its absence.
    {"A3 06 04 00 00 00 00 00 00 00 01 02 03 04", "FRE", "FRE 99.999 KHz", "1.234"},
    {"A6 01 04 00 00 00 00 00 00 00 01 02 03 04", "DCV", "DCV  V", "1234"},
};

TEST(BenchFrame, SubDisplayTableInOrder) {
  for (const std::string& sep : test::separators()) {
    for (const SubCase& c : kSubDisplays) {
      SCOPED_TRACE(c.frame + (" sep " + sep));
      const CurrentReading r = decode(c.frame, with_separator(sep));
      EXPECT_EQ(r.Sub_Func_Name, c.sub_function);
      EXPECT_EQ(r.Sub_range, localised(c.sub_range, sep));
      EXPECT_EQ(r.Sub_No, localised(c.sub_no, sep));
    }
  }
}

TEST(BenchFrame, MainSignFollowsTheWholeFunctionName) {
  // "ACV", "OHM" and "ACA" never show a minus; combined names do.
  const struct {
    int function;
    bool signed_;
  } cases[] = {
      {0, false}, {1, true},   {2, true},  {3, true},  {4, false},  {5, true},   {6, true},
      {7, true},  {8, false},  {9, true},  {10, true}, {11, true},  {12, false}, {13, true},
      {14, true}, {15, false}, {16, true}, {17, true}, {18, false}, {19, true},  {20, true},
  };
  for (const auto& c : cases) {
    const CurrentReading r =
        decode(frame_hex(0xA6, c.function, 0x20, 0, "00 00 00 00 07 00 00 00 00 00"));
    EXPECT_EQ(r.Main_No, c.signed_ ? "-7" : "7") << c.function;
  }
}

TEST(BenchFrame, SubSignFollowsTheSubFunctionName) {
  // Unlike the main display, "ACA" takes the sign here.
  const struct {
    const char* frame;
    const char* sub_no;
  } cases[] = {
      {"A6 00 44 00 00 00 00 00 00 00 00 00 00 07", "7"},       // ACV
      {"A6 08 44 00 00 00 00 00 00 00 00 00 00 07", "7"},       // OHM
      {"A6 12 44 00 00 00 00 00 00 00 00 00 00 07", "-7"},      // ACA
      {"A6 0C 44 00 00 00 00 00 00 00 00 00 00 07", "-7"},      // ACA (uA)
      {"A6 02 44 00 00 00 00 00 00 00 00 00 00 07", "-7"},      // DCV+ACV
      {"A6 13 44 00 00 00 00 00 00 00 00 00 00 07", "-7"},      // ACA+DCA
      {"A6 09 44 00 00 00 00 00 00 00 00 00 00 07", "-7"},      // CON
      {"A0 00 41 00 00 00 00 00 00 00 00 00 00 07", "-0.007"},  // FRE
      {"A0 00 42 00 00 00 00 00 00 00 00 00 00 07", "-0.07"},   // dBm
      {"A0 00 40 08 00 00 00 00 00 00 00 00 00 07", "-0.07"},   // DUT
      {"A6 14 44 00 00 00 00 00 00 00 00 00 00 07", "-"},       // relative, no function
  };
  for (const auto& c : cases) EXPECT_EQ(decode(c.frame).Sub_No, c.sub_no) << c.frame;
}

TEST(BenchFrame, OverloadReplacesTheNumberBeforeTheSign) {
  const struct {
    const char* frame;
    const char* main_no;
    const char* sub_no;
  } cases[] = {
      {"A1 21 20 00 01 02 03 04 05 00 00 00 00 00", "-OL", ""},
      {"A0 20 20 00 01 02 03 04 05 00 00 00 00 00", "OL", ""},
      {"A1 01 09 00 00 00 00 00 00 01 02 03 04 05", "0.000", "OL"},
      {"A1 01 49 00 00 00 00 00 00 01 02 03 04 05", "0.000", "-OL"},
      {"A1 21 0D 00 00 00 00 00 00 01 02 03 04 05", "OL", "OL"},
  };
  for (const auto& c : cases) {
    const CurrentReading r = decode(c.frame);
    EXPECT_EQ(r.Main_No, c.main_no) << c.frame;
    EXPECT_EQ(r.Sub_No, c.sub_no) << c.frame;
  }
}

TEST(BenchFrame, ValidityOfEachByte) {
  const std::vector<std::uint8_t> good = hex("A0 00 00 00 00 00 00 00 00 00 00 00 00 00");
  const struct {
    int offset;
    std::uint8_t value;
    bool valid;
  } cases[] = {
      {0, 0x9F, false}, {0, 0xC0, false},  {0, 0x20, false},  {0, 0xBF, true},   {1, 0x80, false},
      {1, 0x7F, true},  {2, 0x80, false},  {2, 0x7F, true},   {3, 0x80, false},  {3, 0x7F, true},
      {4, 0x0A, false}, {5, 0x0A, false},  {6, 0x0A, false},  {7, 0x0A, false},  {8, 0x0A, false},
      {9, 0x0A, false}, {10, 0x0A, false}, {11, 0x0A, false}, {13, 0x0A, false}, {13, 0x09, true},
      {12, 0xFF, true}, {12, 0x80, true},
  };
  for (const auto& c : cases) {
    auto bytes = good;
    bytes[static_cast<std::size_t>(c.offset)] = c.value;
    EXPECT_EQ(is_bench_frame(std::span<const std::uint8_t, kBenchFrameSize>(bytes.data(), 14)),
              c.valid)
        << c.offset << " " << int{c.value};
    // Surrounded by junk that forms no frame, a broken window is not found either.
    RxBuffer rx = buffer_with(hex("FF 80 0A") + bytes + hex("FF FF"));
    CurrentReading r;
    EXPECT_EQ(decode_bench_frame(rx, r, {}), c.valid) << c.offset;
  }
}

// --- the search and the buffer afterwards ---

TEST(BenchFrameBuffer, JunkAroundTheFrameLeavesOnlyWhatFollowed) {
  RxBuffer rx = buffer_with(hex("12 34") + hex("A1 01 31 20 01 02 03 04 05 00 00 00 06 00") +
                            hex("A0 00 10"));
  CurrentReading r;
  ASSERT_TRUE(decode_bench_frame(rx, r, {}));
  EXPECT_EQ(r.Main_Range, "DCV AUTO 50.000 V");
  EXPECT_EQ(r.Main_No, "-12.345");
  EXPECT_EQ(rx.RxStart(), 0);
  EXPECT_EQ(rx.RxCount(), 3);
  EXPECT_EQ(std::vector<std::uint8_t>(rx.storage().begin(), rx.storage().begin() + 3),
            hex("A0 00 10"));
}

TEST(BenchFrameBuffer, NoValidWindowLeavesEveryByteButEmptiesTheTexts) {
  const auto junk = hex("A0 00 30 00 00 04 02 05 04 00 0A 00 5B 00 A0 80 00 00 00 00 00 00 00") +
                    hex("00 00 00 00 C0 00 00 00 00 00 00 00 00 00 00");
  RxBuffer rx = buffer_with(junk);
  rx.hold(1, static_cast<std::int32_t>(junk.size()) - 1);  // need not begin at index 0
  const auto before = rx.storage();
  CurrentReading r;
  r.Func_Name = r.Sub_Func_Name = r.Main_Range = r.Sub_range = r.Main_No = r.Sub_No = "x";
  r.is_HOLD = true;
  r.Stat_Mode = 2;
  EXPECT_FALSE(decode_bench_frame(rx, r, {}));
  EXPECT_EQ(rx.storage(), before);
  EXPECT_EQ(rx.RxStart(), 1);
  EXPECT_EQ(rx.RxCount(), static_cast<std::int32_t>(junk.size()) - 1);
  EXPECT_EQ(r.Func_Name + r.Sub_Func_Name + r.Main_Range + r.Sub_range + r.Main_No + r.Sub_No, "");
  EXPECT_TRUE(r.is_HOLD);
  EXPECT_EQ(r.Stat_Mode, 2);
}

TEST(BenchFrameBuffer, FrameBeforeTheStartIndexIsNotSeen) {
  RxBuffer rx = buffer_with(hex(kTestFrame) + hex("FF FF FF FF FF FF FF FF FF FF FF FF FF FF"));
  rx.hold(1, 27);
  CurrentReading r;
  EXPECT_FALSE(decode_bench_frame(rx, r, {}));
  rx.hold(0, 14);
  EXPECT_TRUE(decode_bench_frame(rx, r, {}));
}

TEST(BenchFrameBuffer, HeldBytesAfterAnOffsetStartMoveToIndexZero) {
  RxBuffer rx = buffer_with(hex("EE EE EE") + hex(kTestFrame) + hex("A1 01 31 20 01"));
  rx.hold(2, 20);
  CurrentReading r;
  ASSERT_TRUE(decode_bench_frame(rx, r, {}));
  EXPECT_EQ(r.Main_No, "0.4254");
  EXPECT_EQ(rx.RxStart(), 0);
  EXPECT_EQ(rx.RxCount(), 5);
  EXPECT_EQ(std::vector<std::uint8_t>(rx.storage().begin(), rx.storage().begin() + 5),
            hex("A1 01 31 20 01"));
}

TEST(BenchFrameBuffer, ThirteenBytesWaitForTheFourteenth) {
  const auto frame = hex(kTestFrame);
  RxBuffer rx;
  rx.append(std::span(frame).first(13));
  CurrentReading r;
  EXPECT_FALSE(decode_bench_frame(rx, r, {}));
  EXPECT_EQ(held_bytes(rx), std::vector<std::uint8_t>(frame.begin(), frame.begin() + 13));
  rx.append(std::span(frame).last(1));
  ASSERT_TRUE(decode_bench_frame(rx, r, {}));
  EXPECT_EQ(r.Main_No, "0.4254");
  EXPECT_EQ(rx.RxCount(), 0);
  EXPECT_EQ(rx.RxStart(), 0);
}

TEST(BenchFrameBuffer, OnlyTheNewestOfTwoFramesIsDecoded) {
  const auto older = hex("A1 01 31 20 01 02 03 04 05 00 00 00 06 00");
  const auto newer = hex(kTestFrame);
  const struct {
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> left;
  } cases[] = {
      {older + newer, {}},
      {hex("55") + older + newer + hex("A4 08"), hex("A4 08")},
      {older + hex("01 02 03") + newer + hex("A1 01 31 20 01 02 03 04 05 00 00 00 06"),
       hex("A1 01 31 20 01 02 03 04 05 00 00 00 06")},
  };
  for (const auto& c : cases) {
    RxBuffer rx = buffer_with(c.bytes);
    CurrentReading r;
    ASSERT_TRUE(decode_bench_frame(rx, r, {}));
    EXPECT_EQ(r.Main_Range, "ACV AUTO 5.0000 V");
    EXPECT_EQ(held_bytes(rx), c.left);
    EXPECT_EQ(rx.RxStart(), 0);
  }
}

TEST(BenchFrameBuffer, OverlappingWindowsTheLaterOneWins) {
  // Byte 12 is never checked, so a header there can start a second, newer frame.
  const auto bytes =
      hex("A0 00 00 00 00 00 00 00 00 00 00 00 A1 01 00 00 01 02 03 04 05 00 00 00 00 00");
  RxBuffer rx = buffer_with(bytes);
  CurrentReading r;
  ASSERT_TRUE(decode_bench_frame(rx, r, {}));
  EXPECT_EQ(r.Main_Range, "DCV MANU 50.000 V");
  EXPECT_EQ(r.Main_No, "12.345");
  EXPECT_EQ(rx.RxCount(), 0);
}

TEST(BenchFrameBuffer, StreamedFramesDecodeOneAfterAnother) {
  const auto stream = hex(kTestFrame) + hex("A1 01 31 20 01 02 03 04 05 00 00 00 06 00");
  RxBuffer rx;
  CurrentReading r;
  rx.append(std::span(stream).first(24));
  ASSERT_TRUE(decode_bench_frame(rx, r, {}));
  EXPECT_EQ(r.Main_No, "0.4254");
  EXPECT_EQ(held_bytes(rx), std::vector<std::uint8_t>(stream.begin() + 14, stream.begin() + 24));
  EXPECT_FALSE(decode_bench_frame(rx, r, {}));
  EXPECT_EQ(rx.RxCount(), 10);
  rx.append(std::span(stream).subspan(24));
  ASSERT_TRUE(decode_bench_frame(rx, r, {}));
  EXPECT_EQ(r.Main_No, "-12.345");
  EXPECT_EQ(rx.RxCount(), 0);
}

TEST(BenchFrameBuffer, FrameAtTheStartOfAFullBufferKeepsEverythingAfterIt) {
  std::vector<std::uint8_t> bytes = hex(kTestFrame);
  for (std::size_t k = bytes.size(); k < RxBuffer::kCapacity; ++k) {
    bytes.push_back(static_cast<std::uint8_t>(0xC0 + k % 64));  // never a header or digit
  }
  RxBuffer rx = buffer_with(bytes);
  ASSERT_EQ(rx.RxCount(), RxBuffer::kCapacity);
  CurrentReading r;
  ASSERT_TRUE(decode_bench_frame(rx, r, {}));
  EXPECT_EQ(rx.RxCount(), RxBuffer::kCapacity - 14);
  EXPECT_EQ(held_bytes(rx), std::vector<std::uint8_t>(bytes.begin() + 14, bytes.end()));
}

}  // namespace
}  // namespace tarvo
