#include "frame_encoder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "decode/bench_frame.h"
#include "decode/compact_frame.h"
#include "meter_catalogue.h"
#include "sim_family.h"
#include "sim_test_support.h"

namespace tarvo::sim {
namespace {

using test::Bytes;
using test::decoded;
using test::hex;

constexpr MeterModel kBench = MeterModel::ModelTarvo;
constexpr MeterModel kCompact = MeterModel::ModelNoxel;

MeterDisplay bench(int function, int range, std::uint32_t count) {
  MeterDisplay d;
  d.function = function;
  d.range = range;
  d.main.count = count;
  return d;
}

MeterDisplay compact(int function, int range, std::uint32_t count) {
  MeterDisplay d = bench(function, range, count);
  d.family = kCompact;
  return d;
}

struct ByteCase {
  const char* name;
  MeterDisplay display;
  const char* frame;
};

std::vector<ByteCase> byte_cases() {
  std::vector<ByteCase> cases;
  MeterDisplay d = bench(1, 1, 12345);  // DC volts with the frequency below
  d.auto_range = true;
  d.main.negative = true;
  d.sub = SubDisplay::Frequency;
  d.sub_frequency_range = 2;
  d.sub_value.count = 60;
  cases.push_back({"frequency sub", d, "A1 01 31 20 01 02 03 04 05 00 00 00 06 00"});

  d = bench(8, 4, 1234);
  d.sub = SubDisplay::Relative;
  d.sub_value.count = 123;
  cases.push_back({"relative ohms", d, "A4 08 04 00 00 01 02 03 04 00 00 01 02 03"});

  d = bench(14, 1, 1234);
  d.auto_range = true;
  d.stat_mode = 1;
  d.main.negative = d.sub_value.negative = true;
  d.sub_value.count = 4321;
  cases.push_back({"MAX, both signs", d, "A1 0E 70 01 00 01 02 03 04 00 04 03 02 01"});

  d = bench(9, 0, 0);
  d.auto_range = true;
  d.main.overload = true;
  cases.push_back({"continuity overload", d, "A0 29 10 00 00 00 00 00 00 00 00 00 00 00"});

  d = bench(0, 0, 42540);
  d.sub_value.overload = d.sub_value.negative = true;
  cases.push_back({"sub overload", d, "A0 00 48 00 04 02 05 04 00 00 00 00 00 00"});

  d = bench(12, 0, 0);
  d.hold = true;
  d.sub = SubDisplay::DutyCycle;
  d.stat_mode = 4;
  d.sub_frequency_range = 3;  // ignored: the sub display does not show frequency
  cases.push_back({"HOLD, duty, AVG", d, "A0 4C 00 0C 00 00 00 00 00 00 00 00 00 00"});

  d = bench(6, 5, 99999);
  d.sub = SubDisplay::Dbm;
  d.sub_value.count = 1;
  cases.push_back({"dBm sub", d, "A5 06 02 00 09 09 09 09 09 00 00 00 00 01"});

  d = compact(0, 0, 4254);
  d.auto_range = true;
  cases.push_back({"compact volts", d, "A0 00 10 00 04 02 05 04"});

  d = compact(1, 0, 1234);
  d.auto_range = d.main.negative = true;
  d.sub = SubDisplay::Relative;  // no sub display on this family: ignored
  d.sub_value = {999, true, true};
  cases.push_back({"compact dBm", d, "A0 01 30 00 01 02 03 04"});

  d = compact(0, 1, 425);
  d.auto_range = d.main.negative = true;
  d.stat_mode = 3;
  cases.push_back({"compact MAX-MIN", d, "A1 00 33 00 00 04 02 05"});

  d = compact(11, 5, 0);
  d.hold = d.main.overload = true;
  cases.push_back({"compact HOLD overload", d, "A5 6B 00 00 00 00 00 00"});
  return cases;
}

TEST(EncoderBytes, KnownFrames) {
  for (const ByteCase& c : byte_cases()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(encode_frame(c.display), hex(c.frame));
  }
}

TEST(EncoderBytes, FieldsOutOfRangeStillMakeValidFrames) {
  const MeterDisplay extremes[] = {
      bench(31, 31, 99999),
      bench(-1, 255, 4'000'000'000U),
      compact(200, 32, 100000),
  };
  for (MeterDisplay d : extremes) {
    d.stat_mode = 255;
    d.sub = SubDisplay::Frequency;
    d.sub_frequency_range = 99;
    d.sub_value.count = 1'234'567;
    const Bytes f = encode_frame(d);
    if (d.family == kCompact) {
      ASSERT_EQ(f.size(), 8U);
      EXPECT_TRUE(is_compact_frame(std::span<const std::uint8_t, 8>(f.data(), 8)));
    } else {
      ASSERT_EQ(f.size(), 14U);
      EXPECT_TRUE(is_bench_frame(std::span<const std::uint8_t, 14>(f.data(), 14)));
    }
  }
}

// 1234 on each number of decimals a range can have, as the display shows it.
std::string shown_1234(std::string_view range_text) {
  static const std::map<int, std::string> kShown{
      {0, "1234"}, {1, "123.4"}, {2, "12.34"}, {3, "1.234"}, {4, "0.1234"}};
  return kShown.at(decimals_of(range_text));
}

std::string main_range_text(const MeterFunction& f, const MeterRange& r, bool auto_range) {
  const bool single_range = f.name == "DIO" || f.name == "CON";
  const char* word = auto_range && !single_range ? "AUTO" : "MANU";
  return std::string(f.name) + " " + word + " " + std::string(r.text) + " " + std::string(r.unit);
}

TEST(EncoderRoundTrip, CatalogueCoversEveryFunctionCode) {
  for (const auto& [family, count] : {std::pair{kBench, 20}, std::pair{kCompact, 22}}) {
    const auto functions = sim_family_of(family).functions;
    ASSERT_EQ(functions.size(), static_cast<std::size_t>(count));
    for (int code = 0; code < count; ++code) EXPECT_EQ(functions[code].code, code);
  }
}

TEST(EncoderRoundTrip, EveryFunctionAndRangeDecodesToItsLabel) {
  for (const MeterModel family : {kBench, kCompact}) {
    for (const MeterFunction& f : sim_family_of(family).functions) {
      for (const MeterRange& r : f.ranges) {
        for (const bool auto_range : {true, false}) {
          MeterDisplay d =
              family == kBench ? bench(f.code, r.code, 1234) : compact(f.code, r.code, 1234);
          d.auto_range = auto_range;
          const std::string label = main_range_text(f, r, auto_range);
          SCOPED_TRACE(label);
          const CurrentReading reading = decoded(encode_frame(d), family);
          EXPECT_EQ(reading.Main_Range, label);
          EXPECT_EQ(reading.Main_No, shown_1234(r.text));
        }
      }
    }
  }
}

TEST(EncoderRoundTrip, SubDisplayFunctionsDecodeToTheirLabels) {
  const std::map<std::string_view, SubDisplay> kinds{
      {"FRE", SubDisplay::Frequency}, {"dBm", SubDisplay::Dbm}, {"DUT", SubDisplay::DutyCycle}};
  for (const MeterFunction& f : sim_family_of(kBench).sub_functions) {
    for (const MeterRange& r : f.ranges) {
      MeterDisplay d = bench(1, 0, 0);
      d.sub = kinds.at(f.name);
      d.sub_frequency_range = r.code;
      d.sub_value.count = 1234;
      const std::string label =
          std::string(f.name) + " " + std::string(r.text) + " " + std::string(r.unit);
      SCOPED_TRACE(label);
      const CurrentReading reading = decoded(encode_frame(d), kBench);
      EXPECT_EQ(reading.Sub_range, label);
      EXPECT_EQ(reading.Sub_No, shown_1234(r.text));
    }
  }
}

struct ModeCase {
  const char* name;
  MeterDisplay display;
  const char* main_no;
  const char* sub_range;
  const char* sub_no;
};

std::vector<ModeCase> mode_cases() {
  std::vector<ModeCase> cases;
  MeterDisplay d = bench(1, 1, 12345);  // DCV 50.000 V
  d.main.negative = true;
  cases.push_back({"negative", d, "-12.345", "  ", ""});
  d.main.overload = true;
  cases.push_back({"negative overload", d, "-OL", "  ", ""});
  d = bench(1, 1, 12345);
  d.sub = SubDisplay::Relative;
  d.sub_value = {3012, true, false};
  cases.push_back({"relative", d, "12.345", "DCV 50.000 V", "-3.012"});
  d.sub = SubDisplay::Off;
  d.stat_mode = 2;
  cases.push_back({"MIN", d, "12.345", "DCV 50.000 V", "-3.012"});
  d = compact(19, 1, 12345);  // DCA 10.000 A
  d.main.negative = true;
  cases.push_back({"compact negative", d, "-12.345", "", ""});
  return cases;
}

TEST(EncoderRoundTrip, SignsOverloadAndModes) {
  for (const ModeCase& c : mode_cases()) {
    SCOPED_TRACE(c.name);
    const CurrentReading r = decoded(encode_frame(c.display), c.display.family);
    EXPECT_EQ(r.Main_No, c.main_no);
    EXPECT_EQ(r.Sub_range, c.sub_range);
    EXPECT_EQ(r.Sub_No, c.sub_no);
    EXPECT_EQ(r.is_REL, c.display.sub == SubDisplay::Relative);
    EXPECT_EQ(r.Stat_Mode, c.display.stat_mode);
  }
}

}  // namespace
}  // namespace tarvo::sim
