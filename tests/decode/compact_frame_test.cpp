#include "decode/compact_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/bench_frame.h"
#include "decode_test_support.h"

namespace tarvo {
namespace {

using test::buffer_with;
using test::held_bytes;
using test::hex;
using test::localised;
using test::with_separator;
using test::operator+;

using Bytes = std::vector<std::uint8_t>;

CurrentReading decode(const Bytes& frame, const DecodeSettings& settings = {}) {
  RxBuffer rx = buffer_with(frame);
  CurrentReading reading;
  EXPECT_TRUE(decode_compact_frame(rx, reading, settings));
  return reading;
}

Bytes frame(int header, int f1, int f2, const char* digits = "01 02 03 04 05") {
  return Bytes{static_cast<std::uint8_t>(header), static_cast<std::uint8_t>(f1),
               static_cast<std::uint8_t>(f2)} +
         hex(digits);
}

struct ReadingCase {
  const char* frame;
  const char* main_range;
  const char* main_no;
};

const ReadingCase kReadings[] = {
    {"A0 00 10 00 04 02 05 04", "ACV AUTO 5.0000 V", "0.4254"},
    {"A0 01 10 00 01 02 03 04", "dBm AUTO 99.99 dBm", "12.34"},
    {"A0 01 30 00 01 02 03 04", "dBm AUTO 99.99 dBm", "-12.34"},
    {"A1 01 10 00 01 02 03 04", "dBm AUTO  dBm", "1234"},
    {"A0 08 10 00 05 00 00 00", "DUT AUTO 99.99 %", "50.00"},
    {"A2 07 10 00 00 04 02 05", "FRE AUTO 9.9999 KHz", "0.0425"},
    {"A4 0A 10 00 01 02 03 04", "OHM AUTO 5.0000 MΩ", "0.1234"},
    {"A1 00 33 00 00 04 02 05", "ACV AUTO 50.000 V", "0.425"},
    {"A1 15 30 00 00 04 02 05", "ACA+DCA AUTO 10.000 A", "-0.425"},
    {"A5 0B 00 00 00 00 00 00", "CON MANU  Ω", "0"},
    {"A5 0A 10 00 00 00 00 00", "OHM AUTO 50.000 MΩ", "0.000"},
    {"A1 0C 00 00 00 00 00 00", "CAP MANU 50.00 nF", "0.00"},
};

TEST(CompactFrame, DecodesReadingsWithEverySeparator) {
  for (const std::string& sep : test::separators()) {
    for (const ReadingCase& c : kReadings) {
      SCOPED_TRACE(c.frame + (" sep " + sep));
      const CurrentReading r = decode(hex(c.frame), with_separator(sep));
      EXPECT_EQ(r.Main_Range, localised(c.main_range, sep));
      EXPECT_EQ(r.Main_No, localised(c.main_no, sep));
      EXPECT_EQ(r.Sub_range, "");  // empty, unlike the bench's two spaces
      EXPECT_EQ(r.Sub_No, "");
      EXPECT_EQ(r.Sub_Func_Name, "");
    }
  }
}

TEST(CompactFrame, BenchTestFrameDecodesFromItsFirstEightBytes) {
  for (const std::string& sep : test::separators()) {
    RxBuffer rx = buffer_with(hex("A0 00 30 00 00 04 02 05 04 00 00 00 5B 00"));
    CurrentReading r;
    ASSERT_TRUE(decode_compact_frame(rx, r, with_separator(sep)));
    EXPECT_EQ(r.Main_Range, localised("ACV AUTO 5.0000 V", sep));
    EXPECT_EQ(r.Main_No, localised("0.0425", sep));
    EXPECT_EQ(rx.RxStart(), 0);
    EXPECT_EQ(rx.RxCount(), 6);
    EXPECT_EQ(Bytes(rx.storage().begin(), rx.storage().begin() + 6), hex("04 00 00 00 5B 00"));
  }
}

struct FunctionCase {
  int code;
  const char* main_range;  // range code 0, auto off
  const char* main_no;     // digits 1 2 3 4 5
};

const FunctionCase kFunctions[] = {
    {0, "ACV MANU 5.0000 V", "1.2345"},
    {1, "dBm MANU 99.99 dBm", "123.45"},
    {2, "DCV MANU 5.0000 V", "1.2345"},
    {3, "DCV+ACV MANU 5.0000 V", "1.2345"},
    {4, "DCV MANU 50.000 mV", "12.345"},
    {5, "ACV MANU 50.000 mV", "12.345"},
    {6, "DCV+ACV MANU 50.000 mV", "12.345"},
    {7, "FRE MANU 99.999 Hz", "12.345"},
    {8, "DUT MANU 99.99 %", "123.45"},
    {9, "DIO MANU 5.0000 V", "1.2345"},
    {10, "OHM MANU 500.00 Ω", "123.45"},
    {11, "CON MANU 500.00 Ω", "123.45"},
    {12, "CAP MANU 50.00 nF", "123.45"},
    {13, "DCA MANU 500.00 uA", "123.45"},
    {14, "ACA MANU 500.00 uA", "123.45"},
    {15, "DCA+ACA MANU 500.00 uA", "123.45"},
    {16, "DCA MANU 50.000 mA", "12.345"},
    {17, "ACA MANU 50.000 mA", "12.345"},
    {18, "DCA+ACA MANU 50.000 mA", "12.345"},
    {19, "DCA MANU 5.0000 A", "1.2345"},
    {20, "ACA MANU 5.0000 A", "1.2345"},
    {21, "ACA+DCA MANU 5.0000 A", "1.2345"},
    {22, " MANU  ", "12345"},
    {31, " MANU  ", "12345"},
};

TEST(CompactFrame, FunctionTable) {
  for (const FunctionCase& c : kFunctions) {
    SCOPED_TRACE(c.code);
    const CurrentReading r = decode(frame(0xA0, c.code, 0));
    const std::string main_range = c.main_range;
    EXPECT_EQ(r.Main_Range, main_range);
    EXPECT_EQ(r.Main_No, c.main_no);
    EXPECT_EQ(r.Func_Name, main_range.substr(0, main_range.find(' ')));
  }
}

TEST(CompactFrame, RangeRowsOfItsOwnAndShared) {
  const struct {
    int function;
    int range;
    const char* main_range;
    const char* main_no;
  } cases[] = {
      {8, 1, "DUT MANU  %", "12345"},          {8, 5, "DUT MANU  %", "12345"},
      {1, 5, "dBm MANU  dBm", "12345"},        {1, 6, "dBm MANU  dBm", "12345"},
      {10, 3, "OHM MANU 500.00 KΩ", "123.45"}, {10, 5, "OHM MANU 50.000 MΩ", "12.345"},
      {12, 5, "CAP MANU 5000 uF", "12345"},    {12, 4, "CAP MANU 500.0 uF", "1234.5"},
      {7, 5, "FRE MANU 9.9999 MHz", "1.2345"}, {11, 1, "CON MANU  Ω", "12345"},
      {9, 3, "DIO MANU 1000.0 V", "1234.5"},   {13, 1, "DCA MANU 5000.0 uA", "1234.5"},
      {20, 1, "ACA MANU 10.000 A", "12.345"},  {2, 31, "DCV MANU  V", "12345"},
  };
  for (const std::string& sep : test::separators()) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.function << "/" << c.range << " " << sep);
      const CurrentReading r = decode(frame(0xA0 + c.range, c.function, 0), with_separator(sep));
      EXPECT_EQ(r.Main_Range, localised(c.main_range, sep));
      EXPECT_EQ(r.Main_No, localised(c.main_no, sep));
    }
  }
}

TEST(CompactFrame, OhmSignComesFromTheSettings) {
  DecodeSettings settings;
  settings.ohm_sign = "Ohm";
  EXPECT_EQ(decode(frame(0xA2, 10, 0), settings).Main_Range, "OHM MANU 50.000 KOhm");
  EXPECT_EQ(decode(frame(0xA0, 11, 0), settings).Main_Range, "CON MANU 500.00 Ohm");
}

TEST(CompactFrame, SignFollowsTheWholeFunctionName) {
  const struct {
    int function;
    bool signed_;
  } cases[] = {
      {0, false}, {1, true},  {2, true},   {3, true},  {4, true},   {5, false},
      {6, true},  {7, true},  {8, true},   {9, true},  {10, false}, {11, true},
      {12, true}, {13, true}, {14, false}, {15, true}, {16, true},  {17, false},
      {18, true}, {19, true}, {20, false}, {21, true}, {22, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(decode(frame(0xA6, c.function, 0x20, "00 00 00 00 07")).Main_No,
              c.signed_ ? "-7" : "7")
        << c.function;
  }
}

TEST(CompactFrame, OverloadThenSign) {
  EXPECT_EQ(decode(frame(0xA2, 0x22, 0x20)).Main_No, "-OL");  // DCV
  EXPECT_EQ(decode(frame(0xA0, 0x20, 0x20)).Main_No, "OL");   // ACV
  EXPECT_TRUE(decode(frame(0xA0, 0x20, 0)).is_Main_OL);
}

TEST(CompactFrame, FlagsOfByte1And2) {
  const struct {
    int f1, f2;
    bool hold, overload, is_auto;
    int stat_mode;
  } cases[] = {
      {0x40, 0x00, true, false, false, 0},  {0x20, 0x00, false, true, false, 0},
      {0x00, 0x10, false, false, true, 0},  {0x00, 0x01, false, false, false, 1},
      {0x00, 0x02, false, false, false, 2}, {0x00, 0x03, false, false, false, 3},
      {0x00, 0x07, false, false, false, 3},  // bit 2 is not part of the mode
      {0x00, 0x4C, false, false, false, 0},  // bits 6, 3, 2 mean nothing
      {0x09, 0x10, false, false, false, 0},  // DIO is never auto
      {0x0B, 0x10, false, false, false, 0},  // nor CON
  };
  for (const auto& c : cases) {
    CurrentReading r;
    r.is_HOLD = r.is_Main_OL = r.is_AUTO = true;
    r.Stat_Mode = 7;
    RxBuffer rx = buffer_with(frame(0xA0, c.f1, c.f2));
    ASSERT_TRUE(decode_compact_frame(rx, r, {}));
    EXPECT_EQ(r.is_HOLD, c.hold) << c.f1 << " " << c.f2;
    EXPECT_EQ(r.is_Main_OL, c.overload) << c.f1 << " " << c.f2;
    EXPECT_EQ(r.is_AUTO, c.is_auto) << c.f1 << " " << c.f2;
    EXPECT_EQ(r.Stat_Mode, c.stat_mode) << c.f1 << " " << c.f2;
  }
}

TEST(CompactFrame, SubDisplayFlagsKeepTheLastBenchValues) {
  for (const bool set : {true, false}) {
    CurrentReading r;
    // Sub overload, relative, dBm, frequency and duty cycle all on or all off.
    RxBuffer bench = buffer_with(set ? hex("A1 01 0F 08 00 00 00 00 00 00 01 02 03 04")
                                     : hex("A1 01 00 00 00 00 00 00 00 00 01 02 03 04"));
    ASSERT_TRUE(decode_bench_frame(bench, r, {}));
    ASSERT_EQ(r.is_REL, set);
    RxBuffer rx = buffer_with(frame(0xA0, 0, set ? 0x00 : 0x4F));
    ASSERT_TRUE(decode_compact_frame(rx, r, {}));
    EXPECT_EQ(r.is_Sub_OL, set);
    EXPECT_EQ(r.is_REL, set);
    EXPECT_EQ(r.is_Sub_dBm, set);
    EXPECT_EQ(r.is_Sub_FRE, set);
    EXPECT_EQ(r.is_Sub_DUT, set);
    EXPECT_EQ(r.Sub_Func_Name + r.Sub_range + r.Sub_No, "");
  }
}

TEST(CompactFrame, ValidityOfEachByte) {
  const struct {
    int offset;
    std::uint8_t value;
    bool valid;
  } cases[] = {
      {0, 0x9F, false}, {0, 0xC0, false}, {0, 0xBF, true},  {1, 0x80, false}, {1, 0x7F, true},
      {2, 0x80, false}, {2, 0x7F, true},  {3, 0x0A, false}, {4, 0x0A, false}, {5, 0x0A, false},
      {6, 0x0A, false}, {7, 0x0A, false}, {7, 0x09, true},
  };
  for (const auto& c : cases) {
    Bytes bytes = hex("A0 00 00 00 00 00 00 00");
    bytes[static_cast<std::size_t>(c.offset)] = c.value;
    EXPECT_EQ(is_compact_frame(std::span<const std::uint8_t, kCompactFrameSize>(bytes.data(), 8)),
              c.valid)
        << c.offset << " " << int{c.value};
    RxBuffer rx = buffer_with(hex("FF 0A") + bytes + hex("FF"));
    CurrentReading r;
    EXPECT_EQ(decode_compact_frame(rx, r, {}), c.valid) << c.offset;
  }
}

TEST(CompactFrameBuffer, SevenBytesWaitForTheEighth) {
  const Bytes f = hex("A0 00 10 00 04 02 05 04");
  RxBuffer rx;
  rx.append(std::span(f).first(7));
  CurrentReading r;
  r.Main_No = "x";
  EXPECT_FALSE(decode_compact_frame(rx, r, {}));
  EXPECT_EQ(r.Main_No, "");
  EXPECT_EQ(held_bytes(rx), Bytes(f.begin(), f.begin() + 7));
  rx.append(std::span(f).last(1));
  ASSERT_TRUE(decode_compact_frame(rx, r, {}));
  EXPECT_EQ(r.Main_No, "0.4254");
  EXPECT_EQ(rx.RxCount(), 0);
}

TEST(CompactFrameBuffer, NewestFrameWinsAndOnlyTheRestStays) {
  const Bytes older = hex("A2 07 10 00 00 04 02 05");
  const Bytes newer = hex("A0 00 10 00 04 02 05 04");
  const struct {
    Bytes bytes;
    Bytes left;
  } cases[] = {
      {older + newer, {}},
      {hex("33 A0") + older + hex("C5") + newer + hex("A2 07 10"), hex("A2 07 10")},
      {older + newer + hex("A2 07 10 00 00 04 02"), hex("A2 07 10 00 00 04 02")},
  };
  for (const auto& c : cases) {
    RxBuffer rx = buffer_with(c.bytes);
    CurrentReading r;
    ASSERT_TRUE(decode_compact_frame(rx, r, {}));
    EXPECT_EQ(r.Main_Range, "ACV AUTO 5.0000 V");
    EXPECT_EQ(rx.RxStart(), 0);
    EXPECT_EQ(held_bytes(rx), c.left);
    EXPECT_EQ(Bytes(rx.storage().begin(), rx.storage().begin() + c.left.size()), c.left);
  }
}

TEST(CompactFrameBuffer, NoValidWindowLeavesTheBufferAlone) {
  const Bytes junk = hex("A0 00 10 00 04 0A 05 04 A0 80 10 00 04 02 05 04 FF A0 00");
  RxBuffer rx = buffer_with(junk);
  const auto before = rx.storage();
  CurrentReading r;
  EXPECT_FALSE(decode_compact_frame(rx, r, {}));
  EXPECT_EQ(rx.storage(), before);
  EXPECT_EQ(rx.RxCount(), static_cast<std::int32_t>(junk.size()));
  EXPECT_EQ(rx.RxStart(), 0);
}

}  // namespace
}  // namespace tarvo
