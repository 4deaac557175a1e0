#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "log/reading_log.h"

namespace tarvo {

// One display of a reading as numbers a spreadsheet or a time-series store can
// use. The record keeps what the meter showed as texts; this is the same with
// the number parsed and the unit brought to its base (mV to V, KΩ to Ω, nF to F).
struct DisplayValue {
  std::string function;         // "ACV", "FRE"; empty for an undefined function
  bool overload = false;        // "OL" or "-OL"
  std::optional<double> value;  // the number as shown; none for OL or a text that is no number
  std::string unit;             // the unit as shown: "mV", "KΩ"
  std::optional<double> base_value;
  std::string base_unit;  // V, A, Ω, F, Hz, % or dBm; empty for a unit we do not know
  std::string base_text;  // base_value as decimal text with ".", exact; empty when none
};

struct TypedReading {
  DisplayValue main;
  std::optional<DisplayValue> sub;  // none when the sub display shows nothing
};

// Numbers in the texts carry decimal_separator, as the decoders wrote them.
// The main range reads "ACV AUTO 5.0000 V", the sub range "FRE 9.9999 KHz".
TypedReading typed_reading(std::string_view main_no, std::string_view main_range,
                           std::string_view sub_no, std::string_view sub_range,
                           std::string_view decimal_separator);
TypedReading typed_reading(const real_Record& record, std::string_view decimal_separator);

// A number in the unit shown ("mV") brought to its base unit, as an exact text
// with "." and the number it reads; none for a unit we do not know.
struct BaseNumber {
  double value = 0;
  std::string text;
};
std::optional<BaseNumber> in_base_unit(double shown, std::string_view unit);

}  // namespace tarvo
