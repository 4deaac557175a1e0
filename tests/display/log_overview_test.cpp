#include "display/log_overview.h"

#include <gtest/gtest.h>

#include "display_test_log.h"

namespace tarvo {
namespace {

struct ZoomCase {
  IndexSpan domain, view;
  double factor, fraction;  // factor 1: a pan by `records` instead
  std::int64_t records;
  IndexSpan expected;
};

TEST(LogOverview, ZoomAndPanStayInsideTheDomain) {
  const IndexSpan all{1, 1000};
  const ZoomCase cases[] = {
      {all, all, 0.5, 0.5, 0, {251, 750}},          // around the middle
      {all, all, 0.5, 0.0, 0, {1, 500}},            // the left edge stays
      {all, all, 0.5, 1.0, 0, {501, 1000}},         // the right edge stays
      {all, {401, 500}, 0.5, 0.25, 0, {414, 463}},  // the pointer's record stays under it
      {all, all, 1e-6, 0.3, 0, {298, 307}},         // not below ten readings
      {all, {1, 10}, 1e-6, 0.5, 0, {1, 10}},
      {all, {401, 500}, 100, 0.5, 0, all},    // not beyond the domain
      {{1, 5}, {1, 5}, 0.1, 0.5, 0, {1, 5}},  // a short log shows whole
      {all, {401, 500}, 1, 0, -1000, {1, 100}},
      {all, {401, 500}, 1, 0, 30, {431, 530}},
      {all, {401, 500}, 1, 0, 5000, {901, 1000}},
      {{600, 1000}, {401, 500}, 1, 0, 0, {600, 699}},  // a new scope pushes the view in
  };
  for (const ZoomCase& c : cases) {
    LogOverview overview;
    overview.set_domain(c.domain);
    overview.set_view(c.view);
    if (c.factor == 1) {
      overview.pan(c.records);
    } else {
      overview.zoom(c.factor, c.fraction);
    }
    EXPECT_EQ(overview.view(), c.expected) << c.view.first << " x" << c.factor << " +" << c.records;
  }
}

TEST(LogOverview, WholeViewFollowsTheLogAndAZoomedOneStays) {
  LogOverview overview;
  overview.set_domain({1, 100});
  overview.set_domain({1, 101});
  EXPECT_EQ(overview.view(), (IndexSpan{1, 101}));
  overview.zoom(0.5, 0.0);
  overview.set_domain({1, 102});
  EXPECT_EQ(overview.view(), (IndexSpan{1, 51}));
  overview.set_domain({1, 0});  // reset
  EXPECT_EQ(overview.view().count(), 0);
  overview.set_domain({1, 3});
  EXPECT_EQ(overview.view(), (IndexSpan{1, 3}));
  EXPECT_EQ(scope_domain(OverviewScope::CurrentRun, 102, 40), (IndexSpan{40, 102}));
  EXPECT_EQ(scope_domain(OverviewScope::WholeLog, 102, 40), (IndexSpan{1, 102}));
}

TEST(LogOverview, PixelsAndRecordsMapBothWays) {
  for (const auto& [view, width] : {std::pair{IndexSpan{101, 200}, 1000},
                                    {IndexSpan{1, 1000000}, 1200},
                                    {IndexSpan{7, 7}, 300}}) {
    for (std::int64_t n = view.first; n <= view.last; n += 1 + view.count() / 5000) {
      EXPECT_EQ(record_at(view, width, x_of_record(view, width, n)), n);
    }
    EXPECT_EQ(record_at(view, width, -20), view.first);
    EXPECT_EQ(record_at(view, width, width + 20), view.last);
  }
  EXPECT_DOUBLE_EQ(x_of_record({101, 200}, 1000, 101), 5);
  EXPECT_EQ(record_at({101, 200}, 1000, 9.99), 101);
  EXPECT_EQ(record_at({101, 200}, 1000, 10), 102);
}

TEST(LogOverview, TimeStepsAreRoundForTheSpan) {
  const std::tuple<double, int, std::int64_t> cases[] = {
      {60, 6, 10},           {60, 2, 30},        {86400, 8, 3 * 3600},
      {86400, 20, 2 * 3600}, {604800, 8, 86400}, {604800, 3, 604800},
  };
  for (const auto& [span, ticks, step] : cases) {
    EXPECT_EQ(nice_time_step(span, ticks), step) << span << " / " << ticks;
  }
}

ReadingLog dated_log(int count, int seconds_apart, LocalTime start) {
  ReadingLog log;
  CurrentReading r;
  r.Main_No = "1.0000";
  r.Main_Range = "DCV AUTO 5.0000 V";
  for (int i = 0; i < count; ++i) {
    // Within one month: the day only counts up.
    LocalTime t = start;
    const std::int64_t s =
        start.hour * 3600 + start.minute * 60 + start.second + std::int64_t{i} * seconds_apart;
    t.second = static_cast<int>(s % 60);
    t.minute = static_cast<int>(s / 60 % 60);
    t.hour = static_cast<int>(s / 3600 % 24);
    t.day = start.day + static_cast<int>(s / 86400);
    log.append_reading(r, t);
  }
  return log;
}

std::vector<std::string> labels(const std::vector<TimeTick>& ticks) {
  std::vector<std::string> out;
  for (const TimeTick& t : ticks) out.push_back(t.date.empty() ? t.label : t.label + " " + t.date);
  return out;
}

TEST(LogOverview, TimeTicksFallOnRoundLocalTimes) {
  const ReadingLog minute = dated_log(61, 1, {2026, 12, 9, 14, 3, 27, 0, 60});
  EXPECT_EQ(labels(time_ticks(minute, {1, 61}, 6)),
            (std::vector<std::string>{"14:03:30 2026-12-09", "14:03:40", "14:03:50", "14:04:00",
                                      "14:04:10", "14:04:20"}));
  EXPECT_EQ(time_ticks(minute, {1, 61}, 6).front().index, 4);

  const ReadingLog day = dated_log(24 * 60, 60, {2026, 12, 9, 0, 0, 0, 0, 60});
  EXPECT_EQ(labels(time_ticks(day, {1, day.count()}, 8)),
            (std::vector<std::string>{"00:00 2026-12-09", "03:00", "06:00", "09:00", "12:00",
                                      "15:00", "18:00", "21:00"}));

  const ReadingLog week = dated_log(7 * 144, 600, {2026, 12, 9, 12, 0, 0, 0, 60});
  EXPECT_EQ(labels(time_ticks(week, {1, week.count()}, 8)),
            (std::vector<std::string>{"2026-12-10", "2026-12-11", "2026-12-12", "2026-12-13",
                                      "2026-12-14", "2026-12-15", "2026-12-16"}));
}

// The axis runs by reading: two readings, then a stop of an hour, then an hour
// more. The round times of the stop fall on the first reading after it; no
// two labels are nearer than a label's room (100 readings in 8 labels).
TEST(LogOverview, TimeTicksAcrossAStopKeepTheirRoom) {
  ReadingLog log = dated_log(2, 60, {2026, 12, 9, 14, 0, 0, 0, 60});
  const ReadingLog after = dated_log(98, 60, {2026, 12, 9, 15, 0, 0, 0, 60});
  for (std::int64_t n = 1; n <= after.count(); ++n) {
    CurrentReading r;
    r.Main_No = "1.0000";
    r.Main_Range = "DCV AUTO 5.0000 V";
    log.append_reading(r, after[n].DateTime);
  }
  const std::vector<TimeTick> ticks = time_ticks(log, {1, 100}, 8);
  ASSERT_GE(ticks.size(), 3u);
  EXPECT_EQ(ticks.front().index, 1);
  for (std::size_t i = 1; i < ticks.size(); ++i) {
    EXPECT_GE(ticks[i].index - ticks[i - 1].index, 100 / 8) << ticks[i].label;
  }
}

// A text log keeps only the time of day: ticks at round record numbers.
TEST(LogOverview, UndatedRecordsAreTickedByCount) {
  const ReadingLog log = one_run_log(1000);
  const std::vector<TimeTick> ticks = time_ticks(log, {1, 1000}, 5);
  ASSERT_EQ(ticks.size(), 5u);
  EXPECT_EQ(ticks[0].index, 200);
  EXPECT_EQ(ticks[0].label, record_time(200));
  EXPECT_EQ(ticks[4].index, 1000);
}

TEST(LogOverview, ValueAxisHasAMarginAndRoundTicks) {
  const ValueAxis drift = value_axis({10000, 30000}, 5);
  EXPECT_DOUBLE_EQ(drift.low, 0.9);
  EXPECT_DOUBLE_EQ(drift.high, 3.1);
  EXPECT_DOUBLE_EQ(drift.step, 0.5);
  EXPECT_EQ(drift.ticks, (std::vector<double>{1, 1.5, 2, 2.5, 3}));
  const ValueAxis flat = value_axis({12345, 12345}, 5);
  EXPECT_LT(flat.low, 1.2345);
  EXPECT_GT(flat.high, 1.2345);
}

}  // namespace
}  // namespace tarvo
