#include "display/chart_page.h"

#include <algorithm>

#include "display/number_text.h"
#include "log/reading_value.h"

namespace tarvo {

namespace {

constexpr std::int32_t kChartScrollMin = kChartPagePositions;
constexpr std::int32_t kChartPageSize = 1;

// Records are in one run when function and unit agree; the range may differ.
struct RunKey {
  RunFields fields;

  explicit RunKey(const real_Record& record) : fields(run_fields(record.Main_Range.view())) {}
  bool operator==(const RunKey&) const = default;
};

// The record whose run and range the page of record n takes: n itself, or
// for a typed test frame the nearest reading of the meter before it.
std::int64_t reference_record(const ReadingLog& log, std::int64_t n) {
  for (std::int64_t k = n; k >= 1 && k > n - kChartPagePositions; --k) {
    if (!log[k].TestFrame) return k;
  }
  return n;
}

bool in_run(const ReadingLog& log, std::int64_t k, const RunKey& run) {
  return log[k].TestFrame || RunKey(log[k]) == run;
}

PageBounds backward_bounds(const ReadingLog& log, std::int64_t n) {
  const RunKey run(log[reference_record(log, n)]);
  for (std::int64_t k = n; k > n - kChartPagePositions; --k) {
    if (k < 2) return {1, n};
    if (!in_run(log, k, run)) return {k + 1, n};
  }
  return {n - kChartPagePositions + 1, n};
}

PageBounds forward_bounds(const ReadingLog& log, std::int64_t n) {
  const RunKey run(log[reference_record(log, n)]);
  for (std::int64_t k = n; k < n + kChartPagePositions; ++k) {
    if (k > log.count()) return {n, log.count()};
    if (!in_run(log, k, run)) return {n, k - 1};
  }
  return {n, n + kChartPagePositions - 1};
}

std::optional<std::int64_t> axis_full_scale(const real_Record& reference,
                                            std::string_view decimal_separator) {
  const std::optional<std::int64_t> range = range_full_scale(reference, decimal_separator);
  if (!range || *range <= 0) return std::nullopt;
  return range;
}

void add_page_points(const ReadingLog& log, ChartPage& page, std::string_view decimal_separator) {
  const PageBounds& bounds = page.bounds;
  page.points.reserve(kChartPagePositions);
  for (std::int64_t k = bounds.first; k <= bounds.last; ++k) {
    const real_Record& record = log[k];
    const std::optional<std::int64_t> value = plotted_value(record, decimal_separator);
    if (!value) continue;
    const ChartPoint point{static_cast<std::int32_t>(k - bounds.first), *value, record.Time.str(),
                           overload_sign(record)};
    if (record.TestFrame) {
      page.test_points.push_back(point);
      continue;
    }
    if (record.AfterGap && !page.points.empty()) page.breaks.push_back(point.x);
    page.points.push_back(point);
  }
}

// The first occurrence rule over the points that count.
ChartExtremes scanned_extremes(const std::vector<const ChartPoint*>& points) {
  const auto [lowest, highest] = std::minmax_element(
      points.begin(), points.end(),
      [](const ChartPoint* a, const ChartPoint* b) { return a->value < b->value; });
  ChartExtremes extremes{(*highest)->value, (*lowest)->value, {}, {}};
  for (const ChartPoint* point : points) {
    if (!extremes.max_time.empty() && !extremes.min_time.empty()) break;
    if (point->value == extremes.max) extremes.max_time = point->label;
    if (point->value == extremes.min) extremes.min_time = point->label;
  }
  return extremes;
}

}  // namespace

std::int32_t ChartPage::positions() const {
  return static_cast<std::int32_t>(std::max<std::int64_t>(bounds.last - bounds.first + 1, 0));
}

const ChartPoint* ChartPage::point_at(std::int32_t x) const {
  const auto it = std::lower_bound(points.begin(), points.end(), x,
                                   [](const ChartPoint& p, std::int32_t at) { return p.x < at; });
  return it != points.end() && it->x == x ? &*it : nullptr;
}

PageBounds chart_page_bounds(const ReadingLog& log, std::int64_t n, PageDirection direction) {
  if (n < 1 || n > log.count()) return {};
  return direction == PageDirection::Backward ? backward_bounds(log, n) : forward_bounds(log, n);
}

std::optional<ChartExtremes> chart_extremes(const std::vector<ChartPoint>& points) {
  if (points.empty()) return std::nullopt;
  std::vector<const ChartPoint*> numbers, all;
  bool high = false, low = false;
  for (const ChartPoint& point : points) {
    all.push_back(&point);
    if (point.overload == 0) numbers.push_back(&point);
    high = high || point.overload > 0;
    low = low || point.overload < 0;
  }
  ChartExtremes extremes = scanned_extremes(numbers.empty() ? all : numbers);
  extremes.numeric = !numbers.empty();
  extremes.overload_high = high;
  extremes.overload_low = low;
  return extremes;
}

std::string extreme_box_text(const ChartExtremes& e, bool max, std::string_view decimal_separator) {
  if (!e.numeric)
    return (max ? e.overload_high || !e.overload_low : !e.overload_low) ? "OL" : "-OL";
  std::string text = scaled_number_text(max ? e.max : e.min, decimal_separator);
  if (max && e.overload_high) text += " (OL)";
  if (!max && e.overload_low) text += " (-OL)";
  return text;
}

ChartPage update_chart(const ReadingLog& log, std::int64_t n, PageDirection direction,
                       std::string_view decimal_separator) {
  ChartPage page;
  page.bounds = chart_page_bounds(log, n, direction);
  if (page.bounds.last >= page.bounds.first) {
    page.full_scale = axis_full_scale(log[reference_record(log, n)], decimal_separator);
    add_page_points(log, page, decimal_separator);
    page.extremes = chart_extremes(page.points);
  }
  page.scrollbar = update_chart_scrollbar(log.count());
  return page;
}

ScrollParams update_chart_scrollbar(std::int64_t count) {
  if (count <= kChartPagePositions) return reset_chart_scrollbar();
  const std::int32_t newest = scroll_value(count);
  return {newest, kChartScrollMin, newest, kChartPageSize};
}

ScrollParams initial_chart_scrollbar() {
  return {1, 1, 1, kChartPageSize};
}

ScrollParams reset_chart_scrollbar() {
  return {kChartScrollMin, kChartScrollMin, kChartScrollMin, kChartPageSize};
}

std::optional<ChartRequest> scroll_chart(std::int32_t new_position, const ScrollParams& scrollbar) {
  const std::int32_t p = std::max(scrollbar.min, std::min(new_position, scrollbar.max));
  if (p == scrollbar.position) return std::nullopt;
  if (p > scrollbar.position && p == scrollbar.max) return ChartRequest{p, PageDirection::Backward};
  const std::int64_t first = std::max<std::int64_t>(std::int64_t{p} - (kChartPagePositions - 1), 1);
  return ChartRequest{first, PageDirection::Forward};
}

}  // namespace tarvo
