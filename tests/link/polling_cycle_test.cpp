#include "link/polling_cycle.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace tarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A bench frame: ACV AUTO 5.0000 V, 0.4254.
const Bytes kBenchFrame = {0xA0, 0x00, 0x30, 0x00, 0x00, 0x04, 0x02,
                           0x05, 0x04, 0x00, 0x00, 0x00, 0x5B, 0x00};
// A compact frame: ACV AUTO 5.0000 V, 0.4254.
const Bytes kCompactFrame = {0xA0, 0x00, 0x10, 0x00, 0x04, 0x02, 0x05, 0x04};

// Delivers one scripted chunk per read (an empty chunk when the script is used
// up) and remembers on which tick each read happened.
class ScriptedPort : public PortReader {
 public:
  std::deque<Bytes> script;
  Bytes repeat;  // delivered on every read once the script is used up
  std::vector<int> read_ticks;
  std::vector<std::int32_t> read_ports;
  int tick = 0;

  std::int32_t read_available(std::int32_t port, std::span<std::uint8_t> buffer) override {
    read_ticks.push_back(tick);
    read_ports.push_back(port);
    Bytes chunk = repeat;
    if (!script.empty()) {
      chunk = script.front();
      script.pop_front();
    }
    const auto n = std::min(chunk.size(), buffer.size());
    std::copy_n(chunk.begin(), n, buffer.begin());
    return static_cast<std::int32_t>(n);
  }
};

class RecordingViews : public ReadingViews {
 public:
  std::vector<std::string> calls;
  void refresh_grid() override { calls.push_back("grid"); }
  void update_chart(std::int32_t count, ChartDirection d) override {
    calls.push_back("chart " + std::to_string(count) +
                    (d == ChartDirection::Backward ? " backward" : " forward"));
  }
  void update_lcd() override { calls.push_back("lcd"); }
  void update_readout() override { calls.push_back("readout"); }
};

class PollingCycle : public ::testing::Test {
 protected:
  PollingCycle() {
    s.LanguageBase = LanguageTable::kEnglish;
    s.model = MeterModel::ModelTarvo;
    s.ActivePort = 4;
  }

  // Runs ticks 1..n; the clock reports the tick number as the second.
  std::vector<int> run_ticks(int n) {
    std::vector<int> commit_ticks;
    for (int t = 1; t <= n; ++t) {
      port.tick = t;
      const auto before = s.log.count();
      cycle_step(s, port, &views, [t] { return LocalTime{2026, 12, 9, 10, 0, t, 0}; });
      if (s.log.count() != before) commit_ticks.push_back(t);
    }
    return commit_ticks;
  }

  MeterState s;
  ScriptedPort port;
  RecordingViews views;
};

TEST_F(PollingCycle, IntermediateReadsStopFiveTicksBeforeEachRecordStep) {
  struct Case {
    std::int64_t interval;
    int ticks;
    std::vector<int> reads;
    std::vector<int> commits;
  };
  const Case cases[] = {
      {1, 3, {1, 2, 3}, {1, 2, 3}},
      {6, 12, {6, 12}, {6, 12}},
      {7, 14, {1, 7, 8, 14}, {7, 14}},
      {10, 20, {1, 2, 3, 4, 10, 11, 12, 13, 14, 20}, {10, 20}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("interval " + std::to_string(c.interval));
    s = MeterState{};
    s.LanguageBase = LanguageTable::kEnglish;
    s.model = MeterModel::ModelTarvo;
    s.ActivePort = 4;
    s.RecordInterval = c.interval;
    port = ScriptedPort{};
    port.repeat = kBenchFrame;
    EXPECT_EQ(run_ticks(c.ticks), c.commits);
    EXPECT_EQ(port.read_ticks, c.reads);
    EXPECT_THAT(port.read_ports, ::testing::Each(4));
    EXPECT_EQ(s.TickCount, 0);
  }
}

TEST_F(PollingCycle, FailedRecordStepIsRetriedOnEveryFollowingTick) {
  s.RecordInterval = 3;
  // Tick 3: too short a read; tick 4: junk only; tick 5: the frame completes.
  port.script = {Bytes(13, 0x01), Bytes(20, 0xFF), kBenchFrame};
  EXPECT_EQ(run_ticks(5), std::vector<int>{5});
  EXPECT_EQ(port.read_ticks, (std::vector<int>{3, 4, 5}));
  ASSERT_EQ(s.log.count(), 1);
  EXPECT_EQ(s.log[1].Time.view(), "10:00:05");  // the time of the step that committed
  EXPECT_EQ(s.TickCount, 0);
}

TEST_F(PollingCycle, FailedRecordStepKeepsTickCountAtOrAboveInterval) {
  s.RecordInterval = 2;
  run_ticks(4);
  EXPECT_EQ(s.TickCount, 4);
  EXPECT_EQ(s.log.count(), 0);
  EXPECT_TRUE(views.calls.empty());
}

TEST_F(PollingCycle, PollAppendsOnlyReadsOfAtLeastOneFrame) {
  struct Case {
    MeterModel model;
    std::size_t delivered;
    bool appended;
  };
  const Case cases[] = {
      {MeterModel::ModelTarvo, 14, true}, {MeterModel::ModelTarvo, 13, false},
      {MeterModel::ModelNoxel, 8, true},  {MeterModel::ModelNoxel, 7, false},
      {MeterModel::None, 100, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.delivered);
    MeterState fresh;
    fresh.model = c.model;
    ScriptedPort p;
    p.script = {Bytes(c.delivered, 0x42)};
    EXPECT_EQ(poll_port(fresh, p, 1), c.appended);
    EXPECT_EQ(fresh.rx.RxCount(), c.appended ? static_cast<std::int32_t>(c.delivered) : 0);
    EXPECT_TRUE(p.script.empty());  // the bytes were taken from the port either way
  }
}

TEST_F(PollingCycle, PollTakesAtMostOneBlock) {
  port.script = {Bytes(20000, 0x07)};
  ASSERT_TRUE(poll_port(s, port, 4));
  EXPECT_EQ(s.rx.RxCount(), kPollBlockSize);
}

TEST_F(PollingCycle, UnmatchedBytesAccumulateUntilAFrameCompletes) {
  // Half a frame, then bytes that complete no frame (written out: gcc 12 warns
  // falsely on building it from kBenchFrame here).
  const Bytes half = {0xA0, 0x00, 0x30, 0x00, 0x00, 0x04, 0x02,
                      0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55};
  port.script = {half};
  ASSERT_TRUE(poll_port(s, port, 4));
  EXPECT_FALSE(decode_frame(s));
  EXPECT_EQ(s.rx.RxCount(), 14);
}

TEST_F(PollingCycle, DecodeDispatchesOnFamily) {
  struct Case {
    MeterModel model;
    Bytes bytes;
    bool decoded;
    std::int32_t left;
  };
  const Case cases[] = {
      {MeterModel::ModelTarvo, kBenchFrame, true, 0},
      {MeterModel::ModelNoxel, kCompactFrame, true, 0},
      {MeterModel::ModelNoxel, kBenchFrame, true, 6},  // only bytes 0-7 form a compact frame
      {MeterModel::None, kBenchFrame, false, 14},
  };
  for (const auto& c : cases) {
    MeterState fresh;
    fresh.LanguageBase = LanguageTable::kEnglish;
    fresh.model = c.model;
    fresh.rx.assign(c.bytes);
    EXPECT_EQ(decode_frame(fresh), c.decoded);
    EXPECT_EQ(fresh.rx.RxCount(), c.left);
    if (c.decoded) {
      EXPECT_EQ(fresh.reading.Main_Range, "ACV AUTO 5.0000 V");
    }
  }
}

TEST_F(PollingCycle, CommitAppendsThenRefreshesViewsInOrder) {
  s.ReadingTime = {2026, 12, 9, 9, 5, 3, 0};
  s.rx.assign(kBenchFrame);
  ASSERT_TRUE(decode_frame(s));
  commit_reading(s, &views);
  commit_reading(s, &views);
  EXPECT_EQ(views.calls, (std::vector<std::string>{"grid", "chart 1 backward", "lcd", "readout",
                                                   "grid", "chart 2 backward", "lcd", "readout"}));
  EXPECT_EQ(s.log[2].Main_No.view(), "0.4254");
  EXPECT_EQ(s.log[2].Time.view(), "09:05:03");
}

TEST_F(PollingCycle, CommitWithoutFamilyLogsButRefreshesNoView) {
  s.model = MeterModel::None;
  commit_reading(s, &views);
  EXPECT_EQ(s.log.count(), 1);
  EXPECT_TRUE(views.calls.empty());
}

TEST_F(PollingCycle, ChosenDecimalSeparatorAndLanguageReachTheDecoder) {
  s.DecimalSeparator = ",";
  s.rx.assign(
      Bytes{0xA4, 0x08, 0x04, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x01, 0x02, 0x03});
  ASSERT_TRUE(decode_frame(s));
  EXPECT_EQ(s.reading.Main_Range, "OHM MANU 5,0000 M\u03A9");
}

constexpr std::string_view kDesignText = "A0 00 30 00 00 04 02 05 04 00 00 00 5B 00 ";

TEST_F(PollingCycle, InjectedTestFrameIsLoggedAndRestartsTheInterval) {
  s.TickCount = 3;
  port.script = {kBenchFrame};  // what the active port happened to hold is discarded
  ASSERT_TRUE(inject_test_frame(s, port, &views, kDesignText, {2026, 12, 9, 8, 0, 0, 0}));
  EXPECT_EQ(s.log.count(), 1);
  EXPECT_EQ(s.rx.RxCount(), 0);
  EXPECT_EQ(s.TickCount, 0);
  EXPECT_EQ(views.calls.size(), 4u);
  EXPECT_EQ(s.log[1].Main_Range.view(), "ACV AUTO 5.0000 V");
  EXPECT_TRUE(s.log[1].TestFrame);
}

// A frame typed while the meter's first reading after a gap is due is marked
// as a test frame only; the gap mark waits for the meter's own reading.
TEST_F(PollingCycle, TestFrameLeavesAPendingGapToTheMetersReading) {
  s.GapPending = true;
  ASSERT_TRUE(inject_test_frame(s, port, &views, kDesignText, {2026, 12, 9, 8, 0, 0, 0}));
  EXPECT_EQ(std::pair(s.log[1].AfterGap, s.log[1].TestFrame), std::pair(false, true));
  s.rx.assign(kBenchFrame);
  ASSERT_TRUE(decode_frame(s));
  commit_reading(s, &views);
  commit_reading(s, &views);
  EXPECT_EQ(std::pair(s.log[2].AfterGap, s.log[2].TestFrame), std::pair(true, false));
  EXPECT_EQ(std::pair(s.log[3].AfterGap, s.log[3].TestFrame), std::pair(false, false));
}

TEST_F(PollingCycle, InjectedTestFrameAfterResetChangesNothing) {
  s.model = MeterModel::None;
  s.TickCount = 3;
  EXPECT_FALSE(inject_test_frame(s, port, &views, kDesignText, {}));
  EXPECT_EQ(s.log.count(), 0);
  EXPECT_EQ(s.TickCount, 3);
  EXPECT_TRUE(views.calls.empty());
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// The bench frame reading 0.425d.
Bytes bench_digit(std::uint8_t d) {
  Bytes f = kBenchFrame;
  f[8] = d;
  return f;
}

Bytes joined(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Every frame between two logged readings is decoded: one cut between two
// reads counts once, junk not at all, and a range change starts the figures
// again so that they share the logged reading's function and unit (the third interval's
// first frame goes with the other function's).
TEST_F(PollingCycle, EachReadingCarriesTheFiguresOfItsIntervalsFrames) {
  s.RecordInterval = 1;
  const Bytes split = bench_digit(9);
  Bytes other = kBenchFrame;
  other[1] = 0x01;  // another function: DCV
  port.script = {
      joined(
          {bench_digit(1), {0xFF, 0xFF}, bench_digit(7), Bytes(split.begin(), split.begin() + 5)}),
      joined({Bytes(split.begin() + 5, split.end()), bench_digit(3)}),
      joined({bench_digit(2), other, bench_digit(5), bench_digit(2)})};
  run_ticks(3);
  ASSERT_EQ(s.log.count(), 3);
  struct Expected {
    std::int32_t count;
    double min, max, mean;
  };
  const Expected expected[] = {{2, 0.4251, 0.4257, (0.4251 + 0.4257) / 2},
                               {2, 0.4253, 0.4259, (0.4259 + 0.4253) / 2},
                               {2, 0.4252, 0.4255, (0.4255 + 0.4252) / 2}};
  for (std::int64_t n = 1; n <= 3; ++n) {
    const FrameFigures& f = s.log[n].Frames;
    const Expected& e = expected[n - 1];
    EXPECT_EQ(f.count, e.count) << n;
    EXPECT_EQ(f.numeric, e.count) << n;
    EXPECT_DOUBLE_EQ(f.min, e.min) << n;
    EXPECT_DOUBLE_EQ(f.max, e.max) << n;
    EXPECT_DOUBLE_EQ(f.mean, e.mean) << n;
  }
}

}  // namespace
}  // namespace tarvo
