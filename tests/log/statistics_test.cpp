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
