#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "decode/decode_settings.h"
#include "decode/rx_buffer.h"

namespace tarvo::test {

// "A0 00 30" -> {0xA0, 0x00, 0x30}
inline std::vector<std::uint8_t> hex(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  std::istringstream in{std::string(text)};
  unsigned value = 0;
  while (in >> std::hex >> value) bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}

inline std::vector<std::uint8_t> operator+(std::vector<std::uint8_t> a,
                                           const std::vector<std::uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline RxBuffer buffer_with(const std::vector<std::uint8_t>& bytes) {
  RxBuffer rx;
  rx.assign(bytes);
  return rx;
}

inline std::vector<std::uint8_t> held_bytes(const RxBuffer& rx) {
  return {rx.held().begin(), rx.held().end()};
}

// Expected texts are written with "."; every "." becomes the separator.
inline std::string localised(std::string_view text, std::string_view separator) {
  std::string out;
  for (const char c : text) {
    if (c == '.') {
      out += separator;
    } else {
      out += c;
    }
  }
  return out;
}

inline DecodeSettings with_separator(std::string separator) {
  DecodeSettings settings;
  settings.DecimalSeparator = std::move(separator);
  return settings;
}

// ".", "," and a two-byte separator (U+066B), so byte counts are not mistaken
// for character counts.
inline const std::vector<std::string>& separators() {
  static const std::vector<std::string> all{".", ",", "\u066B"};
  return all;
}

}  // namespace tarvo::test
