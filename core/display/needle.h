#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "decode/current_reading.h"
#include "decode/meter_model.h"
#include "display/arc_face.h"
#include "display/rgb.h"

namespace tarvo {

// The needle is a 1-pixel line from its tip to its lower end; the lower end
// pixel itself is not drawn.
inline constexpr Rgb kNeedleColour{241, 14, 10};
inline constexpr int kNeedlePenWidth = 1;
// The lower end sits on this row, on the line at the needle's angle through
// (kArcPivotX, kNeedleFootPivotY), ten pixels below the pivot: the needle bends
// slightly outward at its foot.
inline constexpr int kNeedleFootRow = 145;
inline constexpr int kNeedleFootPivotY = 225;

struct PixelPoint {
  int x = 0;
  int y = 0;

  friend constexpr bool operator==(PixelPoint, PixelPoint) = default;
};

// All that is needed to draw the readout's picture from scratch: the scale
// picture, then, when drawn, the needle line in kNeedleColour.
struct NeedleState {
  ArcScale arc = ArcScale::Twenty;  // the window opens on the 20 arc
  std::int64_t angle = 0;           // 0.0001 radian, positive to the right
  PixelPoint tip;
  PixelPoint foot;
  bool drawn = false;

  std::string_view picture() const { return arc_face(arc).picture; }
  friend bool operator==(const NeedleState&, const NeedleState&) = default;
};

// The text box above the pivot and the needle.
struct Readout {
  std::string mainno = "0";
  NeedleState needle;

  friend bool operator==(const Readout&, const Readout&) = default;
};

// The box shows the main number as it is, case included; "0" when empty.
std::string mainno_text(std::string_view main_no);

// The scale named by the first digit of the range text; None for any other
// first character and for an empty range text.
ArcScale arc_scale_for(std::string_view main_range);

// The deflection for a main number on its range, full scale at the range
// itself. Words the meter may show stand at an end or at zero; nullopt when a
// plain number or the range text does not convert, or the range is zero.
std::optional<std::int64_t> needle_angle(std::string_view main_no, std::string_view main_range,
                                         std::string_view decimal_separator);

PixelPoint needle_tip(std::int64_t angle);
PixelPoint needle_foot(std::int64_t angle);

// The readout after a committed reading. A number that does not convert leaves
// the needle and its picture as they were; the box shows the text regardless.
Readout update_readout(const CurrentReading& reading, std::string_view decimal_separator,
                       const Readout& previous);

// Reset removes the needle. While a family whose panel is re-initialised on
// reset is active (the bench family), the LCD replica's re-initialisation
// brings back the 20 arc, and the state says so, so the next reading draws its
// own scale in full.
Readout reset_readout(MeterModel model, const Readout& previous);

}  // namespace tarvo
