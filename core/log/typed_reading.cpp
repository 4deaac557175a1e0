#include "log/typed_reading.h"

#include <charconv>
#include <cmath>

#include "log/range_fields.h"
#include "log/reading_value.h"

namespace tarvo {
namespace {

// Every unit the two families show, with its base unit and the power of ten
// that takes a shown number there.
struct UnitRow {
  std::string_view shown;
  std::string_view base;
  int exponent;
};

constexpr UnitRow kUnits[] = {
    {"V", "V", 0},
    {"mV", "V", -3},
    {"A", "A", 0},
    {"mA", "A", -3},
    {"uA", "A", -6},
    {"\u03A9", "\u03A9", 0},
    {"K\u03A9", "\u03A9", 3},
    {"M\u03A9", "\u03A9", 6},
    {"nF", "F", -9},
    {"uF", "F", -6},
    {"Hz", "Hz", 0},
    {"KHz", "Hz", 3},
    {"MHz", "Hz", 6},
    {"%", "%", 0},
    {"dBm", "dBm", 0},
};

const UnitRow* unit_row(std::string_view shown) {
  for (const UnitRow& row : kUnits) {
    if (row.shown == shown) return &row;
  }
  return nullptr;
}

DisplayValue display_value(std::string_view function, std::optional<ExactDecimal> parsed,
                           bool overload, std::string_view unit) {
  DisplayValue v;
  v.function = function;
  v.unit = unit;
  v.overload = overload;
  const UnitRow* row = unit_row(unit);
  if (row != nullptr) v.base_unit = row->base;
  if (v.overload || !parsed) return v;
  v.value = nearest_double(*parsed);
  if (row == nullptr) return v;
  v.base_text = shifted_text(*parsed, row->exponent);
  v.base_value = nearest_double(*exact_decimal(v.base_text, "."));
  return v;
}

DisplayValue display_value(std::string_view function, std::string_view number,
                           std::string_view unit, std::string_view separator) {
  return display_value(function, exact_decimal(trim_controls(number), separator),
                       overload_sign(number) != 0, unit);
}

}  // namespace

// The shortest fixed text that reads back as the same double, then the point
// moves, so 1.2345 mV is 0.0012345 V and not the nearest double's expansion.
std::optional<BaseNumber> in_base_unit(double shown, std::string_view unit) {
  const UnitRow* row = unit_row(unit);
  if (row == nullptr || !std::isfinite(shown)) return std::nullopt;
  char digits[400];
  const auto [end, ec] =
      std::to_chars(digits, digits + sizeof digits, shown, std::chars_format::fixed);
  if (ec != std::errc()) return std::nullopt;
  const std::optional<ExactDecimal> parsed = exact_decimal(std::string_view(digits, end), ".");
  if (!parsed) return std::nullopt;
  BaseNumber number;
  number.text = shifted_text(*parsed, row->exponent);
  number.value = nearest_double(*exact_decimal(number.text, "."));
  return number;
}

namespace {

// "FRE 9.9999 KHz": sub function, range and unit, each after one space.
struct SubFields {
  std::string_view function;
  std::string_view unit;
};

SubFields split_sub_range(std::string_view sub_range) {
  const std::size_t first = sub_range.find(' ');
  if (first == std::string_view::npos) return {trim_controls(sub_range), {}};
  const std::string_view rest = sub_range.substr(first + 1);
  const std::size_t second = rest.find(' ');
  const std::string_view unit =
      second == std::string_view::npos ? std::string_view{} : rest.substr(second + 1);
  return {trim_controls(sub_range.substr(0, first)), trim_controls(unit)};
}

}  // namespace

namespace {

// The sub display, which no record keeps a value of.
std::optional<DisplayValue> sub_value(std::string_view sub_no, std::string_view sub_range,
                                      std::string_view decimal_separator) {
  if (trim_controls(sub_no).empty()) return std::nullopt;
  const SubFields sub = split_sub_range(sub_range);
  return display_value(sub.function, sub_no, sub.unit, decimal_separator);
}

}  // namespace

TypedReading typed_reading(std::string_view main_no, std::string_view main_range,
                           std::string_view sub_no, std::string_view sub_range,
                           std::string_view decimal_separator) {
  TypedReading typed;
  const RangeFields fields = split_main_range(main_range);
  typed.main = display_value(trim_controls(fields.function_key), main_no, fields.unit_text,
                             decimal_separator);
  typed.sub = sub_value(sub_no, sub_range, decimal_separator);
  return typed;
}

TypedReading typed_reading(const real_Record& record, std::string_view decimal_separator) {
  TypedReading typed;
  const RunFields run = run_fields(record.Main_Range.view());
  typed.main = display_value(run.function, main_decimal(record, decimal_separator),
                             overload_sign(record) != 0, run.unit);
  typed.sub = sub_value(record.Sub_No.view(), record.Sub_range.view(), decimal_separator);
  return typed;
}

}  // namespace tarvo
