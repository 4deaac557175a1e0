#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

#include "decode/current_reading.h"
#include "display/lcd_annunciators.h"
#include "display/needle.h"

namespace tarvo::cli {

// What the window's lower panel would show after a reading: the LCD replica
// and the main readout, carried from reading to reading as the window does.
struct PanelViews {
  LcdView lcd;
  Readout readout;

  void show(const CurrentReading& reading, std::string_view decimal_separator);
};

// {"lit": [overlay numbers, ascending], "LBL_MAIN_NO": caption, "LBL_SUB_NO":
// caption, "LBL_SUB_NO_visible": bool, "LBL_Range": caption, null when hidden}
nlohmann::ordered_json lcd_json(const LcdView& view);

// {"mainno": text, "scale": the scale the range names (0 for none),
// "NeedleAngle": the reading's angle, null when its number or range does not
// convert, "tip": [x, y], "foot": [x, y]}. Tip and foot are those of the needle
// on display, which an unconverted reading leaves in place; null before the
// first needle.
nlohmann::ordered_json readout_json(const Readout& readout, const CurrentReading& reading,
                                    std::string_view decimal_separator);

}  // namespace tarvo::cli
