#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "display/chart_page.h"

namespace tarvo {

// Both cursor labels are this wide.
inline constexpr std::int32_t kCursorLabelWidth = 49;

// The cursor readout of the chart: a vertical line under the pointer with a
// value label and a time label. The widget copies these fields onto its three
// controls after every call.
struct ChartCursor {
  bool on = false;  // switched by a double-click
  bool line_visible = false;
  bool value_label_visible = false;
  bool time_label_visible = false;
  std::int32_t line_left = 502;
  std::int32_t value_left = 502;
  std::int32_t value_top = 94;
  std::int32_t time_left = 502;
  std::int32_t time_top = 3;
  std::string value_text = "88:88:88";
  std::string time_text = "88:88:88";
  // Time of the last button release on the line; none before the first.
  std::optional<std::chrono::milliseconds> last_release;
};

// Where the pointer is, in chart pixels, and what the chart knows there.
struct CursorPointer {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t chart_width = 0;
  std::int32_t chart_height = 0;
  double axis_position = 0;  // the bottom-axis value at pixel x
};

// Pointer moved over the chart (Chart1MouseMove). Nothing changes while the
// cursor is off. Outside the plot area, or on an empty page, everything is
// hidden; over a position without a point both labels are hidden and the line
// still follows the pointer.
void move_cursor(ChartCursor& cursor, const ChartPage& page, const CursorPointer& pointer,
                 std::string_view decimal_separator);

// A double-click on the chart switches the readout (Chart1DblClick).
void switch_cursor(ChartCursor& cursor);

// A button release on the line (shp1MouseUp): the line sits under the pointer
// and takes the chart's double-clicks, so two releases less than a second
// apart switch the readout. `now` should come from a steady clock.
void release_on_cursor_line(ChartCursor& cursor, std::chrono::milliseconds now);

// Reset empties both captions; the switch and the visibility stay.
void clear_cursor_captions(ChartCursor& cursor);

}  // namespace tarvo
