#pragma once

#include <cstdint>

namespace tarvo {

// A 24-bit colour in red, green, blue order, whatever order the toolkit keeps.
struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend constexpr bool operator==(Rgb, Rgb) = default;
};

}  // namespace tarvo
