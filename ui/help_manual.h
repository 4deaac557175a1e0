#pragma once

#include <QString>

namespace tarvo {

inline constexpr char kManualFile[] = "Manual_en.pdf";

// Where the manual is: beside the program in the build tree, or in the
// documentation folder of an installed program. Empty when it is in neither.
QString manual_path(const QString& programDir);

// mni_Help_MClick: hands the manual to the desktop's viewer. A missing manual
// or viewer shows nothing; the result only tells the tests what happened.
bool open_manual(const QString& programDir);

}  // namespace tarvo
