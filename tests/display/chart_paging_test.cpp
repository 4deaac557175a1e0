#include "display/chart_paging.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "display_test_log.h"

namespace tarvo {
namespace {

const std::string kDcv = "DCV AUTO 5.0000 V";
const std::string kAcv = "ACV AUTO 5.0000 V";

// Records 1-450 DCV, 451-500 ACV, 501-1000 DCV.
ReadingLog three_runs() {
  std::vector<LoggedReading> readings;
  for (int n = 1; n <= 1000; ++n)
    readings.emplace_back("1.0000", n > 450 && n <= 500 ? kAcv : kDcv);
  return log_of(readings);
}

PageBounds bounds_of(const ReadingLog& log, const ChartRequest& request) {
  return chart_page_bounds(log, request.n, request.direction);
}

TEST(ChartPaging, PagesStepWithinAndAcrossRuns) {
  const ReadingLog log = three_runs();
  struct Case {
    const char* name;
    PageBounds shown;
    PageStep step;
    std::optional<PageBounds> next;
  };
  const Case cases[] = {
      {"later from the first page", {1, 200}, PageStep::Later, PageBounds{201, 400}},
      {"later stops at the run's end", {201, 400}, PageStep::Later, PageBounds{401, 450}},
      {"later enters the next run", {401, 450}, PageStep::Later, PageBounds{451, 500}},
      {"later to the newest record", {701, 900}, PageStep::Later, PageBounds{901, 1000}},
      {"nothing after the newest", {801, 1000}, PageStep::Later, std::nullopt},
      {"earlier within a run", {801, 1000}, PageStep::Earlier, PageBounds{601, 800}},
      {"earlier stops at the run's start", {601, 800}, PageStep::Earlier, PageBounds{501, 600}},
      {"earlier into the previous run", {501, 600}, PageStep::Earlier, PageBounds{451, 500}},
      {"earlier to record 1", {101, 300}, PageStep::Earlier, PageBounds{1, 100}},
      {"nothing before record 1", {1, 200}, PageStep::Earlier, std::nullopt},
      {"no page shown", {1, 0}, PageStep::Later, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<ChartRequest> request = neighbour_page(c.shown, log.count(), c.step);
    ASSERT_EQ(request.has_value(), c.next.has_value());
    if (request) {
      EXPECT_EQ(bounds_of(log, *request), *c.next);
    }
  }
}

TEST(ChartPaging, ChosenReadingStandsNearTheMiddleOfItsRunsPage) {
  const ReadingLog log = three_runs();
  struct Case {
    std::int64_t n;
    PageBounds page;
  };
  const Case cases[] = {
      {300, {201, 400}}, {5, {1, 200}},     {449, {350, 450}},
      {460, {451, 500}}, {505, {501, 700}}, {1000, {901, 1000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(bounds_of(log, page_around(log, c.n)), c.page);
  }
}

TEST(ChartPaging, ThumbMarksThePagesLastRecordWithinTheRange) {
  EXPECT_EQ(chart_thumb_for({201, 400}, 1000), 400);
  EXPECT_EQ(chart_thumb_for({1, 100}, 1000), 200);
  EXPECT_EQ(chart_thumb_for({1, 50}, 50), 200);
  EXPECT_EQ(chart_thumb_for({901, 1000}, 1000), 1000);
}

}  // namespace
}  // namespace tarvo
