#pragma once

#include <cstdint>

namespace tarvo {

// Qt's own texts (the labels and buttons of the file dialogs, the OK of the
// message boxes, the context menus of edits) in the language at base, from
// the translations Qt installs. English needs none. Replaces the previous
// language's; false when no translation was loaded.
bool use_qt_translations(std::int32_t language_base);

}  // namespace tarvo
