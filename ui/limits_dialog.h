#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/user_settings.h"
#include "link/meter_state.h"
#include "log/limits.h"

class QWidget;

namespace tarvo {

// What the Limits dialog reads from the user's texts: empty for no limit
// (and for a hysteresis, a minimum duration or a stale time of 0), a number
// in the program's decimal separator otherwise. The error names the text that
// is no number or is negative, or says that the limits are out of order or
// closer together than the hysteresis.
struct LimitTexts {
  std::string high, low;
  std::string hysteresis, min_duration, stale;
};
struct ParsedLimits {
  std::optional<double> high, low;
  double hysteresis = 0, min_duration = 0, stale = 0;
  std::string error;  // empty when the texts are good
};
ParsedLimits parse_limit_texts(const LimitTexts& texts, const MeterState& s);

// View > Limits: a high and a low limit for the function and unit of the
// newest reading, how an excursion is judged, how long the meter may stay
// silent, and whether the alarm sounds. nullopt when cancelled; an error
// message box when there is no reading to take the function from.
struct LimitChoice {
  Limits limits;
  double hysteresis = 0;    // in the limits' unit
  double min_duration = 0;  // seconds
  double stale = 0;         // seconds without a reading; 0: no such alarm
  bool muted = false;
  AlarmActions actions;
};

std::optional<LimitChoice> run_limits_dialog(QWidget* parent, const MeterState& s,
                                             const LimitChoice& current);

}  // namespace tarvo
