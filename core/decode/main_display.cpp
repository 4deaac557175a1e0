#include "decode/main_display.h"

#include "decode/frame_bytes.h"

namespace tarvo {

MainRange read_main_range(std::span<const FunctionRow> functions, std::span<const RangeRow> ranges,
                          std::uint8_t header, std::uint8_t function_byte,
                          std::string_view ohm_sign) {
  const FunctionRow row = lookup_function(functions, function_code(function_byte));
  RangeChoice range = lookup_range(ranges, row.name, localise_unit(row.unit, ohm_sign),
                                   range_code(header), ohm_sign);
  return {std::string(row.name), std::move(range.text), std::move(range.unit)};
}

void show_main(const MainRange& main, std::span<const std::uint8_t> digits, bool negative,
               std::string_view separator, CurrentReading& reading) {
  const std::string text = localise_point(main.text, separator);
  reading.Main_No = shown_value(display_number(digits, text, separator), reading.is_Main_OL,
                                negative && main_takes_sign(main.function));
  reading.Main_Range =
      join_with_spaces({main.function, range_word(reading.is_AUTO), text, main.unit});
}

}  // namespace tarvo
