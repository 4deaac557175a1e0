#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The centre-zero analog scale: a 330 x 150 picture whose arc is centred on a
// pivot 65 pixels below the picture, so only the upper part of the circle shows.
inline constexpr int kArcPictureWidth = 330;
inline constexpr int kArcPictureHeight = 150;
inline constexpr int kArcPivotX = 165;
inline constexpr int kArcPivotY = 215;
inline constexpr int kArcRadius = 200;  // the coloured band lies just inside it
inline constexpr double kArcHalfSweepDegrees = 53.5;

// Needle angles are kept in units of 0.0001 radian from the vertical, positive
// to the right. A full-scale reading (and an overload) stands at 53.5 degrees.
inline constexpr std::int64_t kAngleUnitsPerRadian = 10000;
inline constexpr std::int64_t kFullScaleAngle = 9338;

// Which picture the readout shows; None is the choice for a range text that
// names no scale, and leaves the picture as it is.
enum class ArcScale : int { None = 0, Five = 5, Ten = 10, Twenty = 20, TwentyFive = 25 };

// One scale picture. The end number is a mantissa: the 50.000 V range uses
// the 5 arc, whose end then stands for 50 V.
struct ArcFace {
  ArcScale scale;
  std::string_view picture;  // bitmap resource name
  int end_number;            // numbered at both ends of the arc
  int numbered_step;         // numbered ticks every this many units on each side of 0
  int minor_ticks;           // unnumbered ticks between two numbered ones
};

// clang-format off
inline constexpr std::array<ArcFace, 4> kArcFaces = {{
    // scale              picture      end  numbered every  minor ticks between
    {ArcScale::Five,       "BMP_BP_5",    5,   1,              1},
    {ArcScale::Ten,        "BMP_BP_10",  10,   2,              1},
    {ArcScale::Twenty,     "BMP_BP_20",  20,   5,              4},
    {ArcScale::TwentyFive, "BMP_BP_25",  25,   5,              4},
}};
// clang-format on

// The face of a scale; the 20 face for None, which the picture starts with.
const ArcFace& arc_face(ArcScale scale);

struct ArcTick {
  double value;    // -end_number to +end_number
  double radians;  // from the vertical, positive to the right
  bool numbered;
  std::string label;  // the unsigned number of a numbered tick, else empty
};

// Every tick of a face from the left end to the right end, 0 included.
std::vector<ArcTick> arc_ticks(const ArcFace& face);

struct ArcPoint {
  double x;
  double y;
};

struct ArcRect {
  double left, top, width, height;

  bool intersects(const ArcRect& o) const {
    return left < o.left + o.width && o.left < left + width && top < o.top + o.height &&
           o.top < top + height;
  }
};

// The window's own controls that lie over the picture, in picture pixels:
// btn_test over the lower right and mainno over the pivot. Nothing of the
// scale may go under them.
inline constexpr std::array<ArcRect, 2> kArcCovered{{
    {247, 120, 75, 25},  // btn_test
    {129, 106, 70, 27},  // mainno
}};

// Room for the number of a numbered tick, centred on its place.
inline constexpr double kArcLabelWidth = 24;
inline constexpr double kArcLabelHeight = 14;

// Where the number of a numbered tick goes: on its radial line inside the
// ticks, unless that lies under a control over the picture; then, with its
// mirror image on the other side, moved along the arc towards 0 until it is
// clear. The centre of the number's room.
ArcPoint arc_label_centre(double radians, double radius);

// The point at the given angle and distance from the pivot, in picture pixels.
ArcPoint arc_point(double radians, double radius);

}  // namespace tarvo
