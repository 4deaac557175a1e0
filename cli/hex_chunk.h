#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::cli {

// Parses hexadecimal byte pairs ("A0 00-30 0a", "A000300A"): upper or lower
// case, optionally separated by spaces, tabs or hyphens. A pair split by a
// separator, an odd digit or any other character makes the chunk malformed.
std::optional<std::vector<std::uint8_t>> parse_hex_chunk(std::string_view chunk);

// "A0 00 5B": upper-case pairs separated by single spaces.
std::string hex_dump(std::span<const std::uint8_t> bytes);

}  // namespace tarvo::cli
