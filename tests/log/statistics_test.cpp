// The figures of a stretch of records against a two-pass computation of the
// test's own, and where runs begin and end.
#include "log/statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarvo {
namespace {

real_Record rec(std::int64_t n, std::string_view main_no,
                std::string_view range = "DCV AUTO 5.0000 V") {
  real_Record r;
  r.Index = n;
  r.Main_No.assign(main_no);
  r.Main_Range.assign(range);
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", static_cast<int>(n / 3600 % 24),
                static_cast<int>(n / 60 % 60), static_cast<int>(n % 60));
  r.Time.assign(time);
  return r;
}

std::string number_text(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.9f", v);
  return text;
}

struct Series {
  const char* name;
  double base, step;  // value n is base + step * ((n * 7919) % 1000 - 500)
  std::int64_t count;
};

// Large values with a small spread are where a one-pass sum of squares loses
// its digits; Welford's method must not.
TEST(Statistics, MatchTwoPassFiguresForEveryScale) {
  const Series cases[] = {
      {"micro", 1e-6, 1e-9, 1000}, {"kilo", 1e3, 1e-6, 1000}, {"long", 3.3, 1e-4, 1000000}};
  for (const Series& c : cases) {
    RunningStats stats;
    std::vector<double> values;
    for (std::int64_t n = 1; n <= c.count; ++n) {
      const double v = c.base + c.step * static_cast<double>((n * 7919) % 1000 - 500);
      const real_Record r = rec(n, number_text(v));
      values.push_back(*main_value(r.Main_No.view(), "."));
      stats.add(r, ".");
    }
    double sum = 0;
    for (double v : values) sum += v;
    const double mean = sum / static_cast<double>(values.size());
    double squares = 0;
    for (double v : values) squares += (v - mean) * (v - mean);
    const double deviation = std::sqrt(squares / static_cast<double>(values.size() - 1));
    EXPECT_EQ(stats.count(), c.count) << c.name;
    EXPECT_NEAR(*stats.mean(), mean, std::abs(mean) * 1e-12) << c.name;
    EXPECT_NEAR(*stats.stddev(), deviation, deviation * 1e-6) << c.name;
    EXPECT_DOUBLE_EQ(stats.min()->value, *std::min_element(values.begin(), values.end()));
    EXPECT_DOUBLE_EQ(stats.max()->value, *std::max_element(values.begin(), values.end()));
  }
}

TEST(Statistics, OverloadsAndTextsCountButAreNoValues) {
  RunningStats stats;
  const char* texts[] = {"OL", "1,5", "-OL", "2,5", "----", "+3,0"};
  for (std::int64_t n = 1; n <= 6; ++n) stats.add(rec(n, texts[n - 1]), ",");
  EXPECT_EQ(stats.count(), 6);
  EXPECT_EQ(stats.numeric(), 3);
  EXPECT_EQ(stats.overloads(), 2);
  EXPECT_EQ(stats.min()->index, 2);
  EXPECT_EQ(stats.max()->time, "00:00:06");
  EXPECT_DOUBLE_EQ(*stats.mean(), 7.0 / 3);
  RunningStats one;
  one.add(rec(1, "1.0"), ".");
  EXPECT_FALSE(one.stddev());
}

TEST(Statistics, RunsEndWhereTheFunctionOrTheUnitChanges) {
  ReadingLog log;
  log.replace({rec(1, "1"), rec(2, "2"), rec(3, "1", "DCV AUTO 50.000 mV"),
               rec(4, "3", "ACV AUTO 5.0000 V"), rec(5, "4", "ACV MANU 50.000 V")});
  std::vector<std::pair<std::int64_t, std::int64_t>> bounds;
  for (const RunStats& run : runs_of(log, 1, log.count(), ".")) {
    bounds.emplace_back(run.stats.first_index(), run.stats.last_index());
  }
  EXPECT_EQ(bounds, (std::vector<std::pair<std::int64_t, std::int64_t>>{{1, 2}, {3, 3}, {4, 5}}));
  LogStatistics following;
  for (std::int64_t n = 1; n <= log.count(); ++n) following.add(log[n], ".");
  EXPECT_EQ(following.current_run().key, (RunKey{"ACV", "V"}));
  EXPECT_EQ(following.current_run().stats.count(), 2);
  EXPECT_EQ(following.whole().count(), 5);
}

}  // namespace
}  // namespace tarvo

#include "log/limits.h"

namespace tarvo {
namespace {

// The whole log's figures come per function and unit; a typed test frame
// counts nowhere and does not cut the run it fell into.
TEST(Statistics, WholeLogIsGroupedByFunctionAndUnitWithoutTestFrames) {
  real_Record typed = rec(3, "0.4254", "ACV AUTO 5.0000 V");
  typed.TestFrame = true;
  ReadingLog log;
  log.replace({rec(1, "230.1", "ACV AUTO 500.00 V"), rec(2, "229.9", "ACV AUTO 500.00 V"), typed,
               rec(4, "4.7", "OHM AUTO 50.000 K\u03A9"), rec(5, "230.3", "ACV AUTO 500.00 V")});
  LogStatistics following;
  for (std::int64_t n = 1; n <= log.count(); ++n) following.add(log[n], ".");
  EXPECT_EQ(following.seen(), 5);
  ASSERT_EQ(following.groups().size(), 2u);
  const RunStats* volts = following.whole_of({"ACV", "V"});
  ASSERT_NE(volts, nullptr);
  EXPECT_EQ(volts->stats.count(), 3);
  EXPECT_DOUBLE_EQ(*volts->stats.mean(), (230.1 + 229.9 + 230.3) / 3);
  EXPECT_DOUBLE_EQ(volts->stats.min()->value, 229.9);
  EXPECT_EQ(following.whole_of({"OHM", "K\u03A9"})->stats.count(), 1);
  EXPECT_EQ(following.whole_of({"DCV", "V"}), nullptr);
  EXPECT_EQ(following.current_run().stats.count(), 1);

  const std::vector<RunStats> runs = runs_of(log, 1, 3, ".");
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].stats.count(), 2);
  EXPECT_EQ(stats_of(log, 1, 5, ".").count(), 4);
  EXPECT_EQ(breach_of({{"ACV", "V"}, 100.0, 200.0}, typed, "."), LimitBreach::None);
  LimitWatch watch(".");
  watch.set_limits({{"ACV", "V"}, 100.0, 200.0});
  watch.reading_committed(typed);
  EXPECT_EQ(watch.breaches(), 0);
}

TEST(Limits, OnlyNumbersOfTheLimitsFunctionAndUnitBreakThem) {
  const Limits both{{"DCV", "V"}, 3.31, 3.29};
  const Limits high_only{{"DCV", "V"}, 3.31, std::nullopt};
  const struct {
    const Limits& limits;
    const char* main_no;
    const char* range;
    LimitBreach breach;
  } cases[] = {
      {both, "3.3000", "DCV AUTO 5.0000 V", LimitBreach::None},
      {both, "3.3101", "DCV AUTO 5.0000 V", LimitBreach::High},
      {both, "3.2899", "DCV MANU 5.0000 V", LimitBreach::Low},
      {both, "3.31", "DCV AUTO 5.0000 V", LimitBreach::None},  // on the limit is inside
      {both, "9.9", "ACV AUTO 50.000 V", LimitBreach::None},   // another function
      {both, "9.9", "DCV AUTO 50.000 mV", LimitBreach::None},  // another unit
      {both, "OL", "DCV AUTO 5.0000 V", LimitBreach::High},
      {both, "-OL", "DCV AUTO 5.0000 V", LimitBreach::Low},
      {high_only, "-OL", "DCV AUTO 5.0000 V", LimitBreach::None},
      {both, "----", "DCV AUTO 5.0000 V", LimitBreach::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(breach_of(c.limits, rec(1, c.main_no, c.range), "."), c.breach)
        << c.main_no << " " << c.range;
  }
}

TEST(Limits, WatchTellsEachBreachAndTakesTheNextReadingsFunction) {
  const std::string separator = ".";
  LimitWatch watch(separator);
  std::vector<std::pair<std::int64_t, LimitBreach>> told;
  watch.add_sink([&](const real_Record& r, LimitBreach b) { told.emplace_back(r.Index, b); });
  int alarms = 0;
  watch.set_alarm([&](const real_Record&, LimitBreach) { ++alarms; });
  watch.set_limits_for_next(2.0, 1.0);
  const char* values[] = {"1.5", "2.5", "0.5", "9"};
  watch.reading_committed(rec(1, values[0]));
  watch.reading_committed(rec(2, values[1]));
  watch.reading_committed(rec(3, values[2]));
  watch.reading_committed(rec(4, values[3], "ACV AUTO 50.000 V"));
  EXPECT_EQ(watch.limits().key, (RunKey{"DCV", "V"}));
  EXPECT_EQ(told, (std::vector<std::pair<std::int64_t, LimitBreach>>{{2, LimitBreach::High},
                                                                     {3, LimitBreach::Low}}));
  EXPECT_EQ(watch.breaches(), 2);
  EXPECT_EQ(alarms, 2);
}

}  // namespace
}  // namespace tarvo
