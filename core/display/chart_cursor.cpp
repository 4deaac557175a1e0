#include "display/chart_cursor.h"

#include "display/number_text.h"
#include "display/rounding.h"

namespace tarvo {

namespace {

// The plot area within the chart, in pixels from its left, right, top and
// bottom edges.
constexpr std::int32_t kPlotLeft = 40;
constexpr std::int32_t kPlotRightMargin = 20;
constexpr std::int32_t kPlotTop = 34;
constexpr std::int32_t kPlotBottomMargin = 40;

constexpr std::int32_t kLabelGap = 5;
constexpr std::int32_t kRightEdgeMargin = 10;
// Near the bottom the value label goes above the pointer instead of below.
constexpr std::int32_t kLowZone = 104;
constexpr std::int32_t kAbovePointer = 44;
constexpr std::int32_t kBelowPointer = 18;

void show_all(ChartCursor& cursor, bool visible) {
  cursor.line_visible = visible;
  cursor.value_label_visible = visible;
  cursor.time_label_visible = visible;
}

bool outside_plot(const CursorPointer& p) {
  return p.x > p.chart_width - kPlotRightMargin || p.y > p.chart_height - kPlotBottomMargin ||
         p.y < kPlotTop || p.x < kPlotLeft;
}

// Right of the line, or left of it where the label would reach the right edge.
std::int32_t label_left(std::int32_t line_left, std::int32_t chart_width) {
  if (kCursorLabelWidth + line_left > chart_width - kRightEdgeMargin) {
    return line_left - kCursorLabelWidth + kLabelGap;
  }
  return line_left + kLabelGap;
}

}  // namespace

void move_cursor(ChartCursor& cursor, const ChartPage& page, const CursorPointer& pointer,
                 std::string_view decimal_separator) {
  if (!cursor.on) return;
  cursor.value_text.clear();
  cursor.time_text.clear();
  if (page.points.empty() || outside_plot(pointer)) {
    show_all(cursor, false);
    return;
  }
  cursor.line_left = pointer.x;
  const ChartPoint* point = page.point_at(round_half_up(pointer.axis_position));
  if (point == nullptr) {
    cursor.value_label_visible = false;
    cursor.time_label_visible = false;
    return;
  }
  show_all(cursor, true);
  cursor.value_text = scaled_number_text(point->value, decimal_separator);
  cursor.time_text = point->label;
  cursor.value_left = label_left(cursor.line_left, pointer.chart_width);
  cursor.value_top = pointer.y > pointer.chart_height - kLowZone ? pointer.y - kAbovePointer
                                                                 : pointer.y + kBelowPointer;
  cursor.time_left = label_left(cursor.line_left, pointer.chart_width);
}

void switch_cursor(ChartCursor& cursor) {
  cursor.on = !cursor.on;
  show_all(cursor, cursor.on);
}

void release_on_cursor_line(ChartCursor& cursor, std::chrono::milliseconds now) {
  constexpr std::chrono::milliseconds kDoubleRelease{1000};
  if (cursor.last_release && now - *cursor.last_release < kDoubleRelease) switch_cursor(cursor);
  cursor.last_release = now;
}

void clear_cursor_captions(ChartCursor& cursor) {
  cursor.value_text.clear();
  cursor.time_text.clear();
}

}  // namespace tarvo
