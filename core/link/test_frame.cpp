#include "link/test_frame.h"

#include <string>
#include <vector>

#include "log/fixed_text.h"

namespace tarvo {

namespace {

std::int32_t hex_digit_value(char upper) {
  if (upper >= '0' && upper <= '9') return upper - '0';
  if (upper >= 'A' && upper <= 'F') return upper - 'A' + 10;
  return -1;
}

char to_upper_ascii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The typed text is split by characters, not bytes, so a separator such as
// "·" or a non-breaking space does not shift the pairs after it.
std::vector<std::string_view> split_characters(std::string_view text) {
  std::vector<std::string_view> characters;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = utf8_char_length(text, pos);
    characters.push_back(text.substr(pos, length));
    pos += length;
  }
  return characters;
}

}  // namespace

std::int32_t hex_pair_to_byte(std::string_view text) {
  if (text.size() != 2) return -1;
  const std::int32_t high = hex_digit_value(to_upper_ascii(text[0]));
  const std::int32_t low = hex_digit_value(to_upper_ascii(text[1]));
  // A pair with any other character has no value; -1 ends up as the byte 0xFF
  // like a missing pair, and the decoder then judges the frame.
  if (high < 0 || low < 0) return -1;
  return 16 * high + low;
}

std::array<std::uint8_t, 14> parse_test_text(std::string_view text) {
  const std::vector<std::string_view> characters = split_characters(text);
  std::array<std::uint8_t, 14> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::string pair;
    for (std::size_t pos = 3 * i; pos < 3 * i + 2 && pos < characters.size(); ++pos) {
      pair += characters[pos];
    }
    bytes[i] = static_cast<std::uint8_t>(hex_pair_to_byte(pair) & 0xFF);
  }
  return bytes;
}

}  // namespace tarvo
