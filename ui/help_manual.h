#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "i18n/text_numbers.h"

namespace tarvo {

inline constexpr char kManualFile[] = "Manual_en.pdf";

// Where the manual is: beside the program in the build tree, or in the
// documentation folder of an installed program. Empty when it is in neither.
QString manual_path(const QString& programDir);

// The desktop's viewer of PDF documents as `xdg-mime query default
// application/pdf` names it: empty when the desktop has none, nullopt when
// the desktop cannot be asked (no xdg-mime).
std::optional<QString> desktop_pdf_viewer();

using PdfViewerQuery = std::function<std::optional<QString>()>;

// Hands the manual to the desktop's viewer; false when there is no manual,
// the desktop has no viewer for it, or the desktop reports that it cannot
// open it.
bool open_manual(const QString& programDir, const PdfViewerQuery& viewer = desktop_pdf_viewer);

}  // namespace tarvo
