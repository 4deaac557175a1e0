#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/scroll_params.h"
#include "log/reading_log.h"

namespace tarvo {

// The bottom axis always spans this many positions; a shorter page is not
// stretched, it fills the left part of the plot.
inline constexpr std::int32_t kChartPagePositions = 200;

// Backward: the page ends at the given record; Forward: it starts there.
// The numbers are those the callers pass as the mode.
enum class PageDirection { Backward = 1, Forward = 2 };

// Records first to last; empty when last < first.
struct PageBounds {
  std::int64_t first = 1;
  std::int64_t last = 0;

  friend bool operator==(const PageBounds&, const PageBounds&) = default;
};

struct ChartPoint {
  std::int32_t x = 0;      // bottom-axis position; the record is page.first + x
  std::int64_t value = 0;  // main value times 10000
  std::string label;       // the record's Time
  // An overload ("OL" +1, "-OL" -1) drawn at the edge of its range; 0 for a number.
  std::int8_t overload = 0;

  friend bool operator==(const ChartPoint&, const ChartPoint&) = default;
};

// What the four boxes show: the extremes (times 10000) and the times of the
// points that hold them. The extremes are the page's numbers: an overload,
// which the chart draws at the edge of its range, is no value, so it is told
// beside the extreme instead of standing in for it. A page of overloads only
// has no number: its extremes are those overloads.
struct ChartExtremes {
  std::int64_t max = 0;
  std::int64_t min = 0;
  std::string max_time;
  std::string min_time;
  bool numeric = true;         // max and min are numbers of the page
  bool overload_high = false;  // the page holds an "OL"
  bool overload_low = false;   // the page holds a "-OL"

  friend bool operator==(const ChartExtremes&, const ChartExtremes&) = default;
};

// Everything one chart update shows. A record whose main value or range text
// does not convert (the empty range text of an undefined range code, say) has
// no point: its position stays empty and nothing is raised.
struct ChartPage {
  PageBounds bounds;
  // The left axis runs from -full_scale to +full_scale (times 10000); nullopt
  // when the reference record's range does not give a positive number, and the
  // axis keeps its previous limits.
  std::optional<std::int64_t> full_scale;
  std::vector<ChartPoint> points;  // ascending x, at most one per position
  // Positions whose point follows a gap (the meter was away): the line is
  // not drawn into them from the point before.
  std::vector<std::int32_t> breaks;
  // Typed test frames, drawn apart: no part of the line, the boxes or the run.
  std::vector<ChartPoint> test_points;
  // nullopt when the page has no point: all four boxes keep their texts.
  std::optional<ChartExtremes> extremes;
  ScrollParams scrollbar;

  // Bottom-axis positions the page covers (its record count).
  std::int32_t positions() const;
  // The point at bottom-axis position x, nullptr where there is none.
  const ChartPoint* point_at(std::int32_t x) const;
};

// The page bounds: up to 200 records within the run of record n, where a run
// is a stretch of equal function_key and unit_text. Backward never compares
// record 1: reaching it starts the page there. Empty for n outside 1..count.
// A typed test frame belongs to the run around it, whatever it shows; a test
// frame at n takes the run of the reading before it.
PageBounds chart_page_bounds(const ReadingLog& log, std::int64_t n, PageDirection direction);

// The first occurrence rule of the time boxes: points are scanned in order
// until both boxes are filled, each box taking the label of every point that
// equals its extreme up to then. nullopt for no points.
std::optional<ChartExtremes> chart_extremes(const std::vector<ChartPoint>& points);

// The text of the MAX box (max true) or the MIN box: the extreme number, with
// "(OL)" or "(-OL)" after it when the page also holds such an overload; "OL"
// or "-OL" alone on a page without a number.
std::string extreme_box_text(const ChartExtremes& extremes, bool max,
                             std::string_view decimal_separator);

// The whole update for record n (update_chart). Its cost is bounded by the
// page, never by the length of the log.
ChartPage update_chart(const ReadingLog& log, std::int64_t n, PageDirection direction,
                       std::string_view decimal_separator);

// Position P stands for the page of records P - 199 to P; min is 200, and max
// is the count once the log is longer than a page.
ScrollParams update_chart_scrollbar(std::int64_t count);

// The scrollbar as the window first shows it and as Reset leaves it.
ScrollParams initial_chart_scrollbar();
ScrollParams reset_chart_scrollbar();

struct ChartRequest {
  std::int64_t n = 0;
  PageDirection direction = PageDirection::Backward;

  friend bool operator==(const ChartRequest&, const ChartRequest&) = default;
};

// The page to draw when the user moves the scrollbar (enabled) to new_position
// from the position it holds (scrlbr_chart1Scroll): the newest page when the
// thumb moves forward onto the maximum, otherwise the page that starts 199
// records before the new position. nullopt when the position does not change.
std::optional<ChartRequest> scroll_chart(std::int32_t new_position, const ScrollParams& scrollbar);

}  // namespace tarvo
