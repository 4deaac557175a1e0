#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

// A value held as an integer scaled by 10000 ("12.3450" is 123450), written the
// way the MAX/MIN boxes and the cursor label show it: plain decimal form, at
// most 15 significant digits (rounded half away from zero beyond that), the
// given decimal separator, no trailing zeros and no separator for a whole
// number: 123450 -> "12.345", -5000 -> "-0.5", 500000 -> "50", 1 -> "0.0001".
// No scaled 64-bit value needs an exponent.
std::string scaled_number_text(std::int64_t value_x10000, std::string_view decimal_separator);

}  // namespace tarvo
