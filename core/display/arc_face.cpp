#include "display/arc_face.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace tarvo {

const ArcFace& arc_face(ArcScale scale) {
  for (const ArcFace& face : kArcFaces) {
    if (face.scale == scale) return face;
  }
  return arc_face(ArcScale::Twenty);
}

std::vector<ArcTick> arc_ticks(const ArcFace& face) {
  const int per_number = face.minor_ticks + 1;
  const int steps_per_side = face.end_number / face.numbered_step * per_number;
  const double step = static_cast<double>(face.numbered_step) / per_number;
  const double half_sweep = kArcHalfSweepDegrees * std::numbers::pi / 180.0;

  std::vector<ArcTick> ticks;
  for (int k = -steps_per_side; k <= steps_per_side; ++k) {
    const double value = k * step;
    const bool numbered = k % per_number == 0;
    ticks.push_back(
        {value, value / face.end_number * half_sweep, numbered,
         numbered ? std::to_string(std::abs(k / per_number) * face.numbered_step) : ""});
  }
  return ticks;
}

ArcPoint arc_point(double radians, double radius) {
  return {kArcPivotX + radius * std::sin(radians), kArcPivotY - radius * std::cos(radians)};
}

namespace {

constexpr double kClearance = 2;      // pixels between a number and a control
constexpr double kLabelStep = 0.002;  // radians

bool label_is_covered(double radians, double radius) {
  const ArcPoint c = arc_point(radians, radius);
  const ArcRect label{c.x - kArcLabelWidth / 2 - kClearance, c.y - kArcLabelHeight / 2 - kClearance,
                      kArcLabelWidth + 2 * kClearance, kArcLabelHeight + 2 * kClearance};
  for (const ArcRect& covered : kArcCovered) {
    if (label.intersects(covered)) return true;
  }
  return false;
}

}  // namespace

ArcPoint arc_label_centre(double radians, double radius) {
  const double side = radians < 0 ? -1.0 : 1.0;
  double angle = std::abs(radians);
  // Both sides move alike, so the scale stays symmetric.
  while (angle > 0 && (label_is_covered(angle, radius) || label_is_covered(-angle, radius))) {
    angle = std::max(angle - kLabelStep, 0.0);
  }
  return arc_point(side * angle, radius);
}

}  // namespace tarvo
