#include "display/chart_page.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display_test_log.h"

namespace tarvo {
namespace {

std::vector<std::int64_t> values(const ChartPage& page) {
  std::vector<std::int64_t> v;
  for (const ChartPoint& p : page.points) v.push_back(p.value);
  return v;
}

std::vector<std::int32_t> positions(const ChartPage& page) {
  std::vector<std::int32_t> x;
  for (const ChartPoint& p : page.points) x.push_back(p.x);
  return x;
}

std::vector<LoggedReading> run(std::size_t count, const std::string& main_range,
                               const std::string& main_no = "1.0000") {
  return std::vector<LoggedReading>(count, {main_no, main_range, ""});
}

std::vector<LoggedReading> operator+(std::vector<LoggedReading> a,
                                     const std::vector<LoggedReading>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(ChartPage, OneRecordMakesOnePointAtTheLeftEdge) {
  const ReadingLog log = log_of({{"1.2345", "DCV AUTO 5.0000 V", "09:05:03"}});
  const ChartPage page = update_chart(log, 1, PageDirection::Backward, ".");
  EXPECT_EQ(page.bounds, (PageBounds{1, 1}));
  EXPECT_EQ(page.positions(), 1);
  ASSERT_EQ(page.points.size(), 1u);
  EXPECT_EQ(page.points[0], (ChartPoint{0, 12345, "09:05:03"}));
  EXPECT_EQ(page.full_scale, 50000);
  EXPECT_EQ(page.extremes, (ChartExtremes{12345, 12345, "09:05:03", "09:05:03"}));
  EXPECT_EQ(page.scrollbar, (ScrollParams{200, 200, 200, 1}));
}

TEST(ChartPage, BoundsFollowTheRunRule) {
  const std::string dcv = "DCV AUTO 5.0000 V";
  const std::string acv = "ACV AUTO 5.0000 V";
  struct Case {
    const char* name;
    std::vector<LoggedReading> log;
    std::int64_t n;
    PageDirection direction;
    PageBounds bounds;
  };
  const Case cases[] = {
      {"250 records of one run", run(250, dcv), 250, PageDirection::Backward, {51, 250}},
      {"a full page back from 1000", run(1000, dcv), 1000, PageDirection::Backward, {801, 1000}},
      {"exactly 200 records", run(200, dcv), 200, PageDirection::Backward, {1, 200}},
      {"DCV 1-10, ACV 11-30", run(10, dcv) + run(20, acv), 30, PageDirection::Backward, {11, 30}},
      {"record 1 is never compared", run(1, dcv) + run(4, acv), 5, PageDirection::Backward, {1, 5}},
      {"record 2 is compared", run(2, dcv) + run(4, acv), 6, PageDirection::Backward, {3, 6}},
      {"unit change cuts the run",
       run(5, dcv) + run(5, "DCV AUTO 50.000 mV"),
       10,
       PageDirection::Backward,
       {6, 10}},
      {"range change keeps the run",
       run(5, dcv) + run(5, "DCV AUTO 50.000 V"),
       10,
       PageDirection::Backward,
       {1, 10}},
      {"forward to the end of the log", run(250, dcv), 100, PageDirection::Forward, {100, 250}},
      {"forward full page", run(400, dcv), 51, PageDirection::Forward, {51, 250}},
      {"forward stops before a new run",
       run(10, dcv) + run(20, acv),
       3,
       PageDirection::Forward,
       {3, 10}},
      {"forward from the last record", run(30, dcv), 30, PageDirection::Forward, {30, 30}},
      {"record 0 does not exist", run(30, dcv), 0, PageDirection::Backward, {1, 0}},
      {"past the count", run(30, dcv), 31, PageDirection::Forward, {1, 0}},
      {"empty log", {}, 1, PageDirection::Backward, {1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(chart_page_bounds(log_of(c.log), c.n, c.direction), c.bounds);
  }
}

TEST(ChartPage, ValuesAndAxisComeFromTheTexts) {
  struct Case {
    const char* name;
    std::vector<LoggedReading> log;  // the last record is the reference
    std::string separator;
    std::vector<std::int64_t> values;
    std::optional<std::int64_t> full_scale;
  };
  const Case cases[] = {
      {"overload at full scale",
       {{"OL", "DCV AUTO 50.000 V"}, {"-OL", "DCV AUTO 50.000 V"}},
       ".",
       {500000, -500000},
       500000},
      {"axis follows the reference range",
       {{"12.345", "DCV AUTO 50.000 V"}, {"2.5000", "DCV AUTO 5.0000 V"}},
       ".",
       {123450, 25000},
       50000},
      {"ohms with the ohm sign", {{"0.1234", "OHM AUTO 5.0000 M\xCE\xA9"}}, ".", {1234}, 50000},
      {"comma separator", {{"-1,2345", "DCV AUTO 5,0000 V"}}, ",", {-12345}, 50000},
      {"point texts under a comma separator", {{"1.2345", "DCV AUTO 5.0000 V"}}, ",", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadingLog log = log_of(c.log);
    const ChartPage page = update_chart(log, log.count(), PageDirection::Backward, c.separator);
    EXPECT_EQ(values(page), c.values);
    EXPECT_EQ(page.full_scale, c.full_scale);
  }
}

TEST(ChartExtremes, TimeBoxesFollowTheScanRule) {
  struct Case {
    std::vector<std::string> main_no;
    ChartExtremes extremes;
  };
  const Case cases[] = {
      {{"1", "3", "3", "1"}, {30000, 10000, "t2", "t1"}},
      {{"3", "3", "1"}, {30000, 10000, "t2", "t3"}},
      {{"2", "2", "2"}, {20000, 20000, "t1", "t1"}},
      {{"-1", "4", "-1", "4", "0"}, {40000, -10000, "t2", "t1"}},
      {{"0", "0", "0", "5"}, {50000, 0, "t4", "t3"}},
  };
  for (const Case& c : cases) {
    std::vector<LoggedReading> readings;
    for (std::size_t i = 0; i < c.main_no.size(); ++i) {
      readings.push_back({c.main_no[i], "DCV AUTO 5.0000 V", "t" + std::to_string(i + 1)});
    }
    const ReadingLog log = log_of(readings);
    EXPECT_EQ(update_chart(log, log.count(), PageDirection::Backward, ".").extremes, c.extremes)
        << testing::PrintToString(c.main_no);
  }
}

// An overload is drawn at the edge of its range but is no value: the boxes
// hold the page's extreme numbers, and tell an overload beyond them.
TEST(ChartExtremes, OverloadsAreToldBesideTheExtremeNumbers) {
  struct Case {
    std::vector<std::string> main_no;
    ChartExtremes extremes;
    std::string max_text, min_text;
  };
  const Case cases[] = {
      {{"4.6977", "OL", "1.0"}, {46977, 10000, "t1", "t3", true, true, false}, "4.6977 (OL)", "1"},
      {{"-OL", "2", "-1.5"}, {20000, -15000, "t2", "t3", true, false, true}, "2", "-1.5 (-OL)"},
      {{"OL", "-OL", "OL"}, {50000, -50000, "t1", "t2", false, true, true}, "OL", "-OL"},
      {{"OL", "OL"}, {50000, 50000, "t1", "t1", false, true, false}, "OL", "OL"},
      {{"1", "3"}, {30000, 10000, "t2", "t1", true, false, false}, "3", "1"},
  };
  for (const Case& c : cases) {
    std::vector<LoggedReading> readings;
    for (std::size_t i = 0; i < c.main_no.size(); ++i) {
      readings.push_back({c.main_no[i], "DCV AUTO 5.0000 V", "t" + std::to_string(i + 1)});
    }
    const ReadingLog log = log_of(readings);
    const auto extremes = update_chart(log, log.count(), PageDirection::Backward, ".").extremes;
    ASSERT_TRUE(extremes) << testing::PrintToString(c.main_no);
    EXPECT_EQ(*extremes, c.extremes) << testing::PrintToString(c.main_no);
    EXPECT_EQ(extreme_box_text(*extremes, true, "."), c.max_text);
    EXPECT_EQ(extreme_box_text(*extremes, false, "."), c.min_text);
  }
}

// The line is cut before the first reading after a gap; a typed test frame
// (here in another function) is drawn apart, counts in no extreme and
// neither cuts the run nor sets the axis of its page.
TEST(ChartPage, GapsCutTheLineAndTestFramesStandApart) {
  std::vector<real_Record> records;
  const char* const numbers[] = {"1", "2", "3", "0.4254", "-4", "4.9"};
  for (int n = 1; n <= 6; ++n) {
    real_Record r;
    r.Index = n;
    r.Main_No.assign(numbers[n - 1]);
    r.Main_Range.assign(n == 4 ? "ACV AUTO 500.00 mV" : "DCV AUTO 5.0000 V");
    r.Time.assign(record_time(n));
    r.AfterGap = n == 3 || n == 6;
    r.TestFrame = n == 4;
    records.push_back(r);
  }
  ReadingLog log;
  log.replace(records);
  const ChartPage page = update_chart(log, 6, PageDirection::Backward, ".");
  EXPECT_EQ(page.bounds, (PageBounds{1, 6}));
  EXPECT_EQ(positions(page), (std::vector<std::int32_t>{0, 1, 2, 4, 5}));
  EXPECT_EQ(page.breaks, (std::vector<std::int32_t>{2, 5}));
  ASSERT_EQ(page.test_points.size(), 1u);
  EXPECT_EQ(page.test_points[0].x, 3);
  EXPECT_EQ(page.extremes->max, 49000);
  EXPECT_EQ(page.extremes->min, -40000);

  const ChartPage typed = update_chart(log, 4, PageDirection::Backward, ".");
  EXPECT_EQ(typed.bounds, (PageBounds{1, 4}));
  EXPECT_EQ(typed.full_scale, 50000);
  const ChartPage forward = update_chart(log, 2, PageDirection::Forward, ".");
  EXPECT_EQ(forward.bounds, (PageBounds{2, 6}));
  // A gap at the first point of a page cuts nothing.
  EXPECT_EQ(update_chart(log, 3, PageDirection::Forward, ".").breaks,
            (std::vector<std::int32_t>{3}));
}

// A reading whose texts do not convert is logged and must not stop the chart:
// it gets no point, the axis keeps its limits when the reference has no range,
// and the boxes keep their texts when nothing on the page converts.
TEST(ChartPage, TextsThatDoNotConvertAreLeftOut) {
  const std::string undefined_range = "ACV AUTO  V";  // range code 6
  struct Case {
    const char* name;
    std::vector<LoggedReading> log;
    std::vector<std::int32_t> positions;
    std::optional<std::int64_t> full_scale;
    std::optional<ChartExtremes> extremes;
  };
  const Case cases[] = {
      {"newest reading has an undefined range",
       {{"0.4254", "ACV AUTO 5.0000 V", "t1"}, {"4254", undefined_range, "t2"}},
       {0},
       {},
       ChartExtremes{4254, 4254, "t1", "t1"}},
      {"one reading in the middle",
       {{"1", "ACV AUTO 5.0000 V", "t1"},
        {"4254", undefined_range, "t2"},
        {"-2", "ACV AUTO 5.0000 V", "t3"}},
       {0, 2},
       50000,
       ChartExtremes{10000, -20000, "t1", "t3"}},
      {"nothing converts",
       {{"OL", undefined_range, "t1"}, {"4254", undefined_range, "t2"}},
       {},
       {},
       {}},
      {"overload without a range",
       {{"OL", " AUTO  ", "t1"}, {"1", "DCV AUTO 5.0000 V", "t2"}},
       {1},
       50000,
       ChartExtremes{10000, 10000, "t2", "t2"}},
      {"main number that is no number",
       {{"Fail", "DCV AUTO 5.0000 V", "t1"}, {"", "DCV AUTO 5.0000 V", "t2"}},
       {},
       50000,
       {}},
      {"zero range",
       {{"1", "DCV AUTO 0 V", "t1"}},
       {0},
       {},
       ChartExtremes{10000, 10000, "t1", "t1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadingLog log = log_of(c.log);
    ChartPage page;
    ASSERT_NO_THROW(page = update_chart(log, log.count(), PageDirection::Backward, "."));
    EXPECT_EQ(page.bounds, (PageBounds{1, log.count()}));
    EXPECT_EQ(positions(page), c.positions);
    EXPECT_EQ(page.full_scale, c.full_scale);
    EXPECT_EQ(page.extremes, c.extremes);
  }
}

TEST(ChartPage, UpdateOutsideTheLogDrawsNothing) {
  for (const std::int64_t n : {0, 1, 5}) {
    const ReadingLog log = n == 5 ? one_run_log(4) : ReadingLog{};
    const ChartPage page = update_chart(log, n, PageDirection::Backward, ".");
    EXPECT_TRUE(page.points.empty());
    EXPECT_EQ(page.positions(), 0);
    EXPECT_FALSE(page.full_scale);
    EXPECT_FALSE(page.extremes);
  }
}

TEST(ChartPage, PointLookupByPosition) {
  const ReadingLog log =
      log_of({{"1", "DCV AUTO 5.0000 V"}, {"x", "DCV AUTO 5.0000 V"}, {"3", "DCV AUTO 5.0000 V"}});
  const ChartPage page = update_chart(log, 3, PageDirection::Backward, ".");
  ASSERT_NE(page.point_at(0), nullptr);
  EXPECT_EQ(page.point_at(0)->value, 10000);
  EXPECT_EQ(page.point_at(1), nullptr);
  ASSERT_NE(page.point_at(2), nullptr);
  EXPECT_EQ(page.point_at(2)->value, 30000);
  EXPECT_EQ(page.point_at(3), nullptr);
  EXPECT_EQ(page.point_at(-1), nullptr);
}

TEST(ChartScrollbar, ParametersFollowTheCount) {
  struct Case {
    std::int64_t count;
    ScrollParams params;
  };
  for (const Case c : {Case{0, {200, 200, 200, 1}}, Case{200, {200, 200, 200, 1}},
                       Case{201, {201, 200, 201, 1}}, Case{250, {250, 200, 250, 1}},
                       Case{std::int64_t{1} << 32, {2147483647, 200, 2147483647, 1}}}) {
    EXPECT_EQ(update_chart_scrollbar(c.count), c.params) << c.count;
  }
  EXPECT_EQ(reset_chart_scrollbar(), (ScrollParams{200, 200, 200, 1}));
  EXPECT_EQ(initial_chart_scrollbar(), (ScrollParams{1, 1, 1, 1}));
}

TEST(ChartScroll, MovingTheThumbPagesThroughTheLog) {
  const ReadingLog log = one_run_log(300);
  struct Step {
    std::int32_t from, to;
    std::optional<ChartRequest> request;
    PageBounds bounds;
  };
  const Step steps[] = {
      {300, 250, ChartRequest{51, PageDirection::Forward}, {51, 250}},
      {250, 200, ChartRequest{1, PageDirection::Forward}, {1, 200}},
      {200, 300, ChartRequest{300, PageDirection::Backward}, {101, 300}},
      {250, 299, ChartRequest{100, PageDirection::Forward}, {100, 299}},
      {250, 400, ChartRequest{300, PageDirection::Backward}, {101, 300}},  // clamped to max
      {250, 5, ChartRequest{1, PageDirection::Forward}, {1, 200}},         // clamped to min
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << s.from << " -> " << s.to);
    const std::optional<ChartRequest> request = scroll_chart(s.to, {s.from, 200, 300, 1});
    ASSERT_EQ(request, s.request);
    EXPECT_EQ(chart_page_bounds(log, request->n, request->direction), s.bounds);
  }
  EXPECT_EQ(scroll_chart(250, {250, 200, 300, 1}), std::nullopt);
  EXPECT_EQ(scroll_chart(200, {200, 200, 200, 1}), std::nullopt);
}

TEST(ChartScroll, ForwardPageStopsAtARunChange) {
  const ReadingLog log = log_of(run(150, "DCV AUTO 5.0000 V") + run(150, "ACV AUTO 5.0000 V"));
  const std::optional<ChartRequest> request = scroll_chart(299, {300, 200, 300, 1});
  ASSERT_EQ(request, (ChartRequest{100, PageDirection::Forward}));
  EXPECT_EQ(chart_page_bounds(log, request->n, request->direction), (PageBounds{100, 150}));
}

}  // namespace
}  // namespace tarvo
