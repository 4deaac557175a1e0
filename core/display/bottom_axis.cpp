#include "display/bottom_axis.h"

#include <array>

namespace tarvo {

namespace {

constexpr std::array<std::int32_t, 9> kRoundSteps{1, 2, 5, 10, 20, 25, 50, 100, 200};

}  // namespace

std::int32_t time_label_step(double label_width, double axis_width) {
  const double spacing = axis_width / (kBottomAxisLast - kBottomAxisFirst);
  for (const std::int32_t step : kRoundSteps) {
    if (step * spacing >= label_width + kTimeLabelGap) return step;
  }
  return kRoundSteps.back();
}

}  // namespace tarvo
