#include "display/bottom_axis.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(ChartTimeLabels, StepKeepsLabelsApart) {
  struct Case {
    double label_width, axis_width;
    std::int32_t step;
  };
  const Case cases[] = {
      {49, 608, 20},                  // the design plot: 3 pixels a position
      {49, 2000, 10},                 // 10 pixels a position
      {49, 10547, 1},                 // 53 pixels a position
      {49, 10546, 2}, {49, 50, 200},  // one label only
      {49, 0, 200},   {49, -10, 200},
  };
  for (const Case& c : cases) {
    const std::int32_t step = time_label_step(c.label_width, c.axis_width);
    EXPECT_EQ(step, c.step) << c.axis_width;
    // Neighbouring labels, one step apart, never overlap.
    if (step < 200) {
      EXPECT_GE(step * c.axis_width / 199, c.label_width + kTimeLabelGap);
    }
  }
  EXPECT_TRUE(has_time_label(40, 20));
  EXPECT_FALSE(has_time_label(41, 20));
}

}  // namespace
}  // namespace tarvo
