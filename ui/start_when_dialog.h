#pragma once

#include <optional>
#include <string>

#include "link/meter_state.h"
#include "log/recording_gate.h"

class QWidget;

namespace tarvo {

// The choices of File > Start when, as the user made them: which start and
// which stop (their places in the lists), and the texts typed beside them.
enum class StartChoice { Rises, Falls, At };
enum class StopChoice { Never, Readings, Duration, Rises, Falls };
struct StartWhenTexts {
  StartChoice start = StartChoice::Rises;
  std::string start_value;  // a level in the program's decimal separator, or hh:mm[:ss]
  int pretrigger = 0;
  StopChoice stop = StopChoice::Never;
  std::string stop_value;  // a count, a duration (90s, 15m, 2h; a bare number is seconds), a level
};
struct ParsedStartWhen {
  std::optional<GateRule> rule;
  std::string error;  // in the current language; empty when the rule is good
};
ParsedStartWhen parse_start_when(const StartWhenTexts& texts, const MeterState& s);

// The status bar's word on conditional recording: what it waits for, or
// since when it logs; empty without a gate or after its stop.
std::string gate_status_text(const GateRule& rule, GateState state, const std::string& triggered_at,
                             const MeterState& s);

// The dialog, filled with the last choice; nullopt when cancelled. OK is
// taken only with a good rule.
struct StartWhenChoice {
  StartWhenTexts texts;
  GateRule rule;
};
std::optional<StartWhenChoice> run_start_when_dialog(QWidget* parent, const MeterState& s,
                                                     const StartWhenTexts& last);

}  // namespace tarvo
