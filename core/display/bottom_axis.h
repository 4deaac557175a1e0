#pragma once

#include <cstdint>

namespace tarvo {

// The bottom axis is fixed from position 0 to 199 whatever the page holds, so
// the horizontal scale is always that of a full page.
inline constexpr double kBottomAxisFirst = 0;
inline constexpr double kBottomAxisLast = 199;

// Pixels kept free between two neighbouring time labels.
inline constexpr double kTimeLabelGap = 4;

// Every how many positions a time label is drawn (positions 0, step, 2 step,
// ... that hold a point), so that labels of the given pixel width, centred on
// their positions, never overlap on an axis of the given pixel width. A round
// step (1, 2, 5, 10, 20, 25, 50, 100 or 200); 200 leaves only position 0.
std::int32_t time_label_step(double label_width, double axis_width);

inline bool has_time_label(std::int32_t position, std::int32_t step) {
  return position % step == 0;
}

}  // namespace tarvo
