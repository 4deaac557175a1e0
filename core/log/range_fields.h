#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvo {

// The text without leading and trailing spaces and control characters (codes
// up to 32), the trim that every reader of record texts applies.
std::string_view trim_controls(std::string_view text);

// The parts of a Main_Range text ("ACV AUTO 5.0000 V": function name, range
// word, range, unit) that the chart, the readout and the text-log reader use.
// All three are views into the text they were taken from.
struct RangeFields {
  std::string_view function_key;  // "ACV " with its space; empty without a space
  std::string_view range_text;    // "5.0000"; empty when nothing follows the range
  std::string_view unit_text;     // "V"
};

// Positions are counted in characters, so a multi-byte unit sign such as the
// ohm sign counts once.
RangeFields split_main_range(std::string_view main_range);

// A decimal text ("-12.345", with the given separator) times 10000, rounded to
// the nearest integer, halves away from zero. The arithmetic is exact: no
// binary floating point comes between the text and the integer. nullopt for a
// text that is not a plain signed decimal number, or whose value does not fit.
std::optional<std::int64_t> scaled_decimal(std::string_view text,
                                           std::string_view decimal_separator);

// The plotted value of a main number, times 10000. An overload ("OL", "-OL")
// stands at the full scale of its range, so it needs a range text that converts.
std::optional<std::int64_t> scaled_main_value(std::string_view main_no, std::string_view main_range,
                                              std::string_view decimal_separator);

}  // namespace tarvo
