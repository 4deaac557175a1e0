#pragma once

#include <cstdint>

namespace tarvo {

// The integer part of x, truncated toward zero, plus 1 when the fractional part
// is at least 0.5. A negative fraction never reaches 0.5, so negative values
// are truncated: -2.7 gives -2. Values beyond the 32-bit range (and NaN, as 0)
// are held at its ends.
std::int32_t round_half_up(double x);

}  // namespace tarvo
