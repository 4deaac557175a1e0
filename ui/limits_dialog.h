#pragma once

#include <optional>
#include <string>

#include "link/meter_state.h"
#include "log/limits.h"

class QWidget;

namespace tarvo {

// What the Limits dialog reads from the user's texts: empty for no limit, a
// number in the program's decimal separator otherwise. The error names the
// text that is no number, or says that the low limit is above the high one.
struct LimitTexts {
  std::string high, low;
};
struct ParsedLimits {
  std::optional<double> high, low;
  std::string error;  // empty when the texts are good
};
ParsedLimits parse_limit_texts(const LimitTexts& texts, const MeterState& s);

// View > Limits: a high and a low limit for the function and unit of the
// newest reading, and whether the alarm sounds. nullopt when cancelled; an
// error message box when there is no reading to take the function from.
struct LimitChoice {
  Limits limits;
  bool muted = false;
};
std::optional<LimitChoice> run_limits_dialog(QWidget* parent, const MeterState& s,
                                             const Limits& current, bool muted);

}  // namespace tarvo
