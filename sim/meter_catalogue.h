#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvo::sim {

// A range as the meter's display labels it: "50.000" with unit "V".
struct MeterRange {
  int code;
  std::string_view text;
  std::string_view unit;  // "Ω" is written as the sign itself (UTF-8)
};

struct MeterFunction {
  int code;
  std::string_view name;  // "DCV", "OHM", ...
  std::span<const MeterRange> ranges;
};

// The functions each family's meter offers, in function-code order; a
// family's SimFamily row names its list.
std::span<const MeterFunction> bench_functions();
std::span<const MeterFunction> compact_functions();

// What the bench meter's sub display can switch to besides mirroring the main
// function: frequency (ranges coded in the frame), dBm and duty cycle.
std::span<const MeterFunction> bench_sub_functions();

// The names of the list for a message: "FRE, dBm or DUT" with " or " as the
// last separator, "FRE, dBm, DUT" with ", ".
std::string function_names(std::span<const MeterFunction> functions,
                           std::string_view last_separator);

struct CatalogueHit {
  const MeterFunction* function;
  const MeterRange* range;
};

// Looks a range up by what the display shows. Names and units are matched
// without regard to case, and "ohm", "kohm", "Mohm" and "µ" stand in for the signs
// that are awkward to type. The first matching entry wins.
std::optional<CatalogueHit> find_range(std::span<const MeterFunction> functions,
                                       std::string_view name, std::string_view range_text,
                                       std::string_view unit);

// True when some function of the list bears this name.
bool has_function(std::span<const MeterFunction> functions, std::string_view name);

// Digits after the point of a range text: "50.000" has 3, "5000" none.
int decimals_of(std::string_view range_text);

}  // namespace tarvo::sim
