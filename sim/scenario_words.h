#pragma once

// The words of a scenario line. Each parser throws std::invalid_argument with a
// message meant for the scenario's author; the line parser adds the line number.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scenario.h"

namespace tarvo::sim {

// Keywords are not case-sensitive.
bool same_word(std::string_view a, std::string_view b);

// Splits a line into words at blanks, dropping a "#" comment.
std::vector<std::string_view> split_words(std::string_view line);

// "12", "-0.5", ".25": plain decimal notation, independent of the locale.
std::optional<double> parse_decimal(std::string_view text);

// "300ms", "5s", "1.5s", "2min", "1h"; positive.
Duration parse_duration(std::string_view text);

// A whole number in [low, high].
int parse_count(std::string_view text, int low, int high, std::string_view what);

// "OL", "-OL", "12.345" or a ramp "3.290..3.310". Decimals are left for the caller.
std::optional<PlannedValue> parse_value(std::string_view text);

// Hex byte pairs: "A0", "a00030"; appended to `out`.
void parse_hex_bytes(std::string_view text, std::vector<std::uint8_t>& out);

}  // namespace tarvo::sim
