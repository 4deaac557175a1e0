#pragma once

// The main display as both families encode it: function and range from the
// tables, then the number and the range line.

#include <cstdint>
#include <span>
#include <string>

#include "decode/current_reading.h"
#include "decode/decode_settings.h"
#include "decode/frame_text.h"

namespace tarvo {

struct MainRange {
  std::string function;  // empty for an undefined code
  std::string text;      // range text with "." as its point; empty when none
  std::string unit;      // after the range step's prefix or replacement
};

// Function from byte 1, range from the header; the range may change the unit.
MainRange read_main_range(std::span<const FunctionRow> functions, std::span<const RangeRow> ranges,
                          std::uint8_t header, std::uint8_t function_byte,
                          std::string_view ohm_sign);

// Fills Main_No and Main_Range. is_AUTO and is_Main_OL must already be final.
void show_main(const MainRange& main, std::span<const std::uint8_t> digits, bool negative,
               std::string_view separator, CurrentReading& reading);

}  // namespace tarvo
