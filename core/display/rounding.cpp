#include "display/rounding.h"

#include <cmath>
#include <limits>

namespace tarvo {

std::int32_t round_half_up(double x) {
  if (std::isnan(x)) return 0;
  const double whole = std::trunc(x);
  const double rounded = x - whole >= 0.5 ? whole + 1 : whole;
  constexpr double lowest = std::numeric_limits<std::int32_t>::min();
  constexpr double highest = std::numeric_limits<std::int32_t>::max();
  if (rounded <= lowest) return std::numeric_limits<std::int32_t>::min();
  if (rounded >= highest) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(rounded);
}

}  // namespace tarvo
