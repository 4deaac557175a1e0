#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tarvo {

// The value of a two-character hexadecimal text, or -1 when the text is not
// exactly two hexadecimal digits (upper or lower case).
std::int32_t hex_pair_to_byte(std::string_view text);

// The 14 bytes of a hand-typed test frame: byte i is the pair at characters
// 3i+1 and 3i+2 (counting from 1); the characters between pairs are ignored. A
// pair that is cut short, missing or not hexadecimal becomes 0xFF.
std::array<std::uint8_t, 14> parse_test_text(std::string_view text);

}  // namespace tarvo
