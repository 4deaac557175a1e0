#pragma once

#include "link/meter_state.h"

class QDialog;
class QDialogButtonBox;
class QLabel;
class QWidget;

namespace tarvo {

// What the program's dialogs share below their fields: a red line that says
// what is wrong with them, and OK and Cancel in the current language. Cancel
// rejects the dialog; what OK does is the caller's (it checks the fields).
QLabel* make_error_line(const char* name, QWidget* parent = nullptr);
QDialogButtonBox* make_ok_cancel(QDialog& dialog, const MeterState& s);

}  // namespace tarvo
