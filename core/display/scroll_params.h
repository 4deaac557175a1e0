#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tarvo {

// What a view asks of its scrollbar. Every set the views build satisfies
// 1 <= page_size <= max and min <= position <= max, so a toolkit scrollbar can
// take it as it is. Both the small and the large step are one record.
struct ScrollParams {
  std::int32_t position = 0;
  std::int32_t min = 0;
  std::int32_t max = 0;
  std::int32_t page_size = 1;

  friend bool operator==(const ScrollParams&, const ScrollParams&) = default;
};

inline constexpr std::int32_t kScrollStep = 1;

// Scrollbars hold 32-bit positions. A record count of 2^31 or more (68 years
// of one-second readings) is held at the largest position rather than wrapping
// to a negative maximum.
constexpr std::int32_t scroll_value(std::int64_t records) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      records, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace tarvo
