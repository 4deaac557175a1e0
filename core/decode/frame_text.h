#pragma once

// Text steps shared by the bench and the compact decoder. Every function is pure:
// it takes the working texts and returns the new ones. Strings are handled as
// bytes throughout; the decimal separator may be more than one byte long.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace tarvo {

// In the unit columns of the decode tables, "Ω" stands for the ohm sign of the
// current language; localise_unit puts the real sign in its place.
inline constexpr std::string_view kOhmMark = "\u03A9";

std::string localise_unit(std::string_view table_unit, std::string_view ohm_sign);

// One row of a function table: the code is the frame's function field.
struct FunctionRow {
  int code;
  std::string_view name;
  std::string_view unit;
};

// The row for `code`, or empty name and unit for a code the table lacks.
FunctionRow lookup_function(std::span<const FunctionRow> table, int code);

// A function table is indexed by code; this keeps the code column honest.
template <std::size_t N>
constexpr bool codes_match_rows(const std::array<FunctionRow, N>& table) {
  for (std::size_t i = 0; i < N; ++i) {
    if (table[i].code != static_cast<int>(i)) return false;
  }
  return true;
}

// Range rows are picked either by the working unit text or by the function name.
enum class RangeKey { Unit, Function };

inline constexpr int kRangeCodes = 6;

// An empty unit keeps the unit text; a non-empty one replaces it.
struct RangeCell {
  std::string_view text;
  std::string_view unit;
};

struct RangeRow {
  RangeKey key;
  std::string_view selector;
  std::array<RangeCell, kRangeCodes> cells;
};

struct RangeChoice {
  std::string text;  // range text with "." as its decimal point; empty when none
  std::string unit;  // working unit text after the range step
};

// First row that matches `function` or `unit` decides; an unknown code, a
// missing row or an empty cell gives an empty range text and keeps the unit.
RangeChoice lookup_range(std::span<const RangeRow> table, std::string_view function,
                         std::string_view unit, int code, std::string_view ohm_sign);

// The digit bytes as text, each read modulo 10.
std::string digits_text(std::span<const std::uint8_t> digits);

// The first "." becomes the separator; at most 10 bytes after it are kept.
std::string localise_point(std::string_view range_text, std::string_view separator);

// Puts the separator into `digits` so that it shows as many decimals as
// `range_text` (already localised) has after its separator.
std::string place_decimal_point(std::string_view digits, std::string_view range_text,
                                std::string_view separator);

// Drops leading zeros but keeps one before the separator and never empties the text.
std::string strip_leading_zeros(std::string_view number, std::string_view separator);

// digits_text, place_decimal_point and strip_leading_zeros in a row.
std::string display_number(std::span<const std::uint8_t> digits, std::string_view range_text,
                           std::string_view separator);

// Quantities that are never negative on the main display: whole-name comparison,
// so combined functions such as "DCV+ACV" do take the sign.
bool main_takes_sign(std::string_view function);

// The sub display shows a sign for everything but "ACV" and "OHM".
bool sub_takes_sign(std::string_view function);

std::string_view range_word(bool is_auto);

// "DIO" and "CON" have a single range, so the meter's auto bit means nothing there.
bool forces_manual_range(std::string_view function);

// What the display shows: "OL" replaces the number on overload, and a minus goes
// in front of whatever is shown, even an empty or "OL" text.
std::string shown_value(std::string number, bool overload, bool negative);

// "ACV AUTO 5.0000 V": the parts joined by single spaces, empty parts included.
std::string join_with_spaces(std::initializer_list<std::string_view> parts);

}  // namespace tarvo
