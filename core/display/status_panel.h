#pragma once

#include <cstdint>
#include <string>

#include "i18n/language_table.h"
#include "i18n/text_numbers.h"
#include "link/acquisition.h"

namespace tarvo {

// What the first panel of the status bar tells at a glance: whether the
// program is reading a meter. A state added here needs a text below.
enum class RunState { Stopped, Searching, Acquiring, Waiting };

RunState run_state(AcquisitionState state);

// The text of the state in the language at base: "STOP" in English while
// nothing runs.
std::string run_state_text(RunState state, const LanguageTable& table, std::int32_t base);

}  // namespace tarvo
