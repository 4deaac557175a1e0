#include "scenario_player.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "demo_programme.h"
#include "scenario_parser.h"
#include "sim_test_support.h"

namespace tarvo::sim {
namespace {

using std::chrono::milliseconds;
using test::Bytes;
using test::decoded;

constexpr MeterModel kBench = MeterModel::ModelTarvo;
constexpr MeterModel kCompact = MeterModel::ModelNoxel;

ScenarioPlayer player_of(std::string_view text, MeterModel family = kBench) {
  return ScenarioPlayer(parse_scenario(text, family));
}

TEST(ScenarioPlayer, ReadingRampsOverItsFramesAtTheInterval) {
  ScenarioPlayer p = player_of("every 250ms\nDCV 50.000 V 10.000..11.000 for 1.25s\nstop");
  std::vector<std::string> shown;
  for (int i = 0; i < 5; ++i) {
    const Emission e = p.next();
    EXPECT_EQ(e.slot, milliseconds(250));
    EXPECT_EQ(e.then, Emission::Then::Continue);
    shown.push_back(decoded(e.bytes, kBench).Main_No);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"10.000", "10.250", "10.500", "10.750", "11.000"}));
  EXPECT_EQ(p.next().then, Emission::Then::Stop);
}

TEST(ScenarioPlayer, NoiseStaysWithinItsAmplitude) {
  ScenarioPlayer p = player_of("DCV 5.0000 V -0.0010 noise 0.0030 for 30s");
  std::set<double> seen;
  for (int i = 0; i < 100; ++i) {
    const double value = std::stod(decoded(p.next().bytes, kBench).Main_No);
    EXPECT_GE(value, -0.0040);
    EXPECT_LE(value, 0.0020);
    seen.insert(value);
  }
  EXPECT_GT(seen.size(), 10U);
  EXPECT_LT(*seen.begin(), 0.0);  // it moves to both sides of zero
  EXPECT_GT(*seen.rbegin(), 0.0);
}

TEST(ScenarioPlayer, JunkCannotBeMistakenForFrameBytes) {
  ScenarioPlayer p = player_of("junk 5000");
  const Emission e = p.next();
  ASSERT_EQ(e.bytes.size(), 5000U);
  EXPECT_EQ(e.slot, Duration::zero());
  std::set<std::uint8_t> values;
  for (const std::uint8_t b : e.bytes) {
    EXPECT_GE(b, 0x80);                              // no flag or digit byte
    EXPECT_FALSE(b >= 0xA0 && b <= 0xBF) << int{b};  // no header
    values.insert(b);
  }
  EXPECT_EQ(values.size(), 96U);
}

TEST(ScenarioPlayer, PartialCutsTheLatestFrame) {
  ScenarioPlayer p = player_of("DCV 50.000 V 12.345\npartial 5\nsilence 2s\nbytes 01 02");
  const Emission frame = p.next();
  const Emission partial = p.next();
  EXPECT_EQ(partial.bytes, Bytes(frame.bytes.begin(), frame.bytes.begin() + 5));
  EXPECT_EQ(partial.slot, kDefaultFrameInterval);
  const Emission silence = p.next();
  EXPECT_TRUE(silence.bytes.empty());
  EXPECT_EQ(silence.slot, std::chrono::seconds(2));
  EXPECT_EQ(p.next().bytes, (Bytes{1, 2}));
  EXPECT_EQ(p.next().bytes, frame.bytes);  // and round again
}

TEST(ScenarioPlayer, HangUpIsFinal) {
  ScenarioPlayer p = player_of("DCV 50.000 V 1\nhangup\nDCV 50.000 V 2");
  EXPECT_EQ(p.next().bytes.size(), 14U);
  for (int i = 0; i < 3; ++i) {
    const Emission e = p.next();
    EXPECT_EQ(e.then, Emission::Then::HangUp);
    EXPECT_TRUE(e.bytes.empty());
  }
}

// One round of the demo through the decoder: it must show what it promises.
TEST(SimDemo, ShowsEachFeatureOnBothFamilies) {
  for (const MeterModel family : {kBench, kCompact}) {
    const Scenario demo = demo_scenario(family);
    ScenarioPlayer p(demo);
    std::set<std::string> ranges, sub_ranges, numbers;
    bool hold = false, rel = false, max = false, min = false;
    RxBuffer rx;
    CurrentReading r;
    for (int i = 0; i < 1000; ++i) {
      if (!test::feed(rx, r, family, p.next().bytes)) continue;
      ranges.insert(r.Main_Range);
      sub_ranges.insert(r.Sub_range);
      numbers.insert(r.Main_No);
      hold |= r.is_HOLD;
      rel |= r.is_REL;
      max |= r.Stat_Mode == 1;
      min |= r.Stat_Mode == 2;
    }
    SCOPED_TRACE(family == kBench ? "bench" : "compact");
    EXPECT_TRUE(ranges.contains("DCV AUTO 5.0000 V"));
    EXPECT_TRUE(ranges.contains("DCV AUTO 50.000 V"));
    EXPECT_TRUE(ranges.contains("OHM MANU 5.0000 KΩ"));
    EXPECT_TRUE(numbers.contains("OL"));
    EXPECT_GT(numbers.size(), 50U);  // drift and noise
    EXPECT_TRUE(hold && max && min);
    if (family == kBench) {
      EXPECT_TRUE(sub_ranges.contains("FRE 99.999 Hz"));
      EXPECT_TRUE(rel);
    } else {
      EXPECT_TRUE(ranges.contains("FRE AUTO 99.999 Hz"));
    }
  }
}

}  // namespace
}  // namespace tarvo::sim
