#pragma once

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

}  // namespace tarvo
