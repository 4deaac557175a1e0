#pragma once

#include <QString>

class QWidget;

namespace tarvo {

struct MeterState;

// Gives the controls of window, and of every window it owns, their tooltips and
// the names a screen reader says, in the current language. Run again after a
// language switch and when a window or bar is made.
void apply_control_hints(QWidget& window, const MeterState& s);

// The tooltip and the spoken-name text numbers of a control known by its
// object name; {0, 0} for a control the table does not list. A spoken name of
// 0 means the caption says it.
struct ControlHint {
  const char* name;
  int spoken;
  int tip;
};
ControlHint control_hint(const QString& object_name);

}  // namespace tarvo
