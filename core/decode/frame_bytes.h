#pragma once

#include <cstdint>

namespace tarvo {

// Frames carry no checksum: the value ranges of their bytes are all there is
// to recognise them by.
constexpr bool is_header_byte(std::uint8_t b) {
  return (b >> 5) == 0b101;
}
constexpr bool is_flag_byte(std::uint8_t b) {
  return b < 0x80;
}
constexpr bool is_digit_byte(std::uint8_t b) {
  return b < 10;
}

constexpr bool bit_set(std::uint8_t b, int bit) {
  return ((b >> bit) & 1U) != 0;
}

// The header's low five bits; mod 160 equals subtracting the 0xA0 mark.
constexpr int range_code(std::uint8_t header) {
  return header % 160;
}
constexpr int function_code(std::uint8_t b) {
  return b & 0x1F;
}

}  // namespace tarvo
