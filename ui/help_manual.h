#pragma once

#include <QString>

#include "i18n/text_numbers.h"

namespace tarvo {

inline constexpr char kManualFile[] = "Manual_en.pdf";

// Where the manual is: beside the program in the build tree, or in the
// documentation folder of an installed program. Empty when it is in neither.
QString manual_path(const QString& programDir);

// Hands the manual to the desktop's viewer; false when there is no manual or
// the desktop reports that it cannot open it.
bool open_manual(const QString& programDir);

}  // namespace tarvo
