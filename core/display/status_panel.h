#pragma once

#include <cstdint>
#include <string>

#include "i18n/language_table.h"
#include "link/acquisition.h"

namespace tarvo {

// What the first panel of the status bar tells at a glance: whether the
// program is reading a meter. A state added here needs a text below.
enum class RunState { Stopped, Searching, Acquiring };

RunState run_state(AcquisitionState state);

inline constexpr int kTextSearchingMeter = 33;
inline constexpr int kTextReadingMeter = 34;

// "STOP", the same in every language, while nothing runs; otherwise the
// running text in the language at base.
std::string run_state_text(RunState state, const LanguageTable& table, std::int32_t base);

}  // namespace tarvo
