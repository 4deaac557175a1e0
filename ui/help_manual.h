#pragma once

#include <QString>

namespace tarvo {

inline constexpr char kManualFile[] = "Manual_en.pdf";
// The Help menu item's caption, "Help manual".
inline constexpr int kTextHelpManual = 26;

// Where the manual is: beside the program in the build tree, or in the
// documentation folder of an installed program. Empty when it is in neither.
QString manual_path(const QString& programDir);

// Hands the manual to the desktop's viewer; false when there is no manual or
// the desktop reports that it cannot open it.
bool open_manual(const QString& programDir);

}  // namespace tarvo
