#include "display/arc_face.h"

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

}  // namespace tarvo
