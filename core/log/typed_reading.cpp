#include "log/typed_reading.h"

#include <charconv>
#include <cmath>

#include "log/range_fields.h"

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

// A plain signed decimal number: its sign and its digits around the point.
struct Decimal {
  bool negative = false;
  std::string digits;    // integer digits followed by fraction digits
  std::ptrdiff_t point;  // digits before the decimal point
};

std::optional<Decimal> parse_decimal(std::string_view text, std::string_view separator) {
  Decimal d;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    d.negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const auto take_digits = [&] {
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
      d.digits += text.front();
      text.remove_prefix(1);
    }
  };
  take_digits();
  d.point = static_cast<std::ptrdiff_t>(d.digits.size());
  if (!separator.empty() && text.starts_with(separator)) {
    text.remove_prefix(separator.size());
    take_digits();
  }
  if (!text.empty() || d.digits.empty()) return std::nullopt;
  return d;
}

// The number times 10^exponent as the shortest exact text with ".": the point
// moves, no arithmetic rounds. Negative zero reads as "0".
std::string shifted_text(const Decimal& d, int exponent) {
  std::string digits = d.digits;
  std::ptrdiff_t point = d.point + exponent;
  if (point <= 0) {
    digits.insert(0, static_cast<std::size_t>(1 - point), '0');
    point = 1;
  } else if (point > static_cast<std::ptrdiff_t>(digits.size())) {
    digits.append(static_cast<std::size_t>(point) - digits.size(), '0');
  }
  std::string whole = digits.substr(0, static_cast<std::size_t>(point));
  std::string fraction = digits.substr(static_cast<std::size_t>(point));
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
  fraction.erase(fraction.find_last_not_of('0') + 1);
  const bool zero = whole == "0" && fraction.empty();
  std::string text = (d.negative && !zero) ? "-" + whole : whole;
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

double to_double(const std::string& text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

DisplayValue display_value(std::string_view function, std::string_view number,
                           std::string_view unit, std::string_view separator) {
  DisplayValue v;
  v.function = function;
  v.unit = unit;
  v.overload = number.find("OL") != std::string_view::npos;
  const UnitRow* row = unit_row(unit);
  if (row != nullptr) v.base_unit = row->base;
  const std::optional<Decimal> parsed = parse_decimal(trim_controls(number), separator);
  if (v.overload || !parsed) return v;
  v.value = to_double(shifted_text(*parsed, 0));
  if (row == nullptr) return v;
  v.base_text = shifted_text(*parsed, row->exponent);
  v.base_value = to_double(v.base_text);
  return v;
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
  const std::optional<Decimal> parsed = parse_decimal(std::string_view(digits, end), ".");
  if (!parsed) return std::nullopt;
  BaseNumber number;
  number.text = shifted_text(*parsed, row->exponent);
  number.value = to_double(number.text);
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

TypedReading typed_reading(std::string_view main_no, std::string_view main_range,
                           std::string_view sub_no, std::string_view sub_range,
                           std::string_view decimal_separator) {
  TypedReading typed;
  const RangeFields fields = split_main_range(main_range);
  typed.main = display_value(trim_controls(fields.function_key), main_no, fields.unit_text,
                             decimal_separator);
  if (!trim_controls(sub_no).empty()) {
    const SubFields sub = split_sub_range(sub_range);
    typed.sub = display_value(sub.function, sub_no, sub.unit, decimal_separator);
  }
  return typed;
}

TypedReading typed_reading(const real_Record& record, std::string_view decimal_separator) {
  return typed_reading(record.Main_No.view(), record.Main_Range.view(), record.Sub_No.view(),
                       record.Sub_range.view(), decimal_separator);
}

}  // namespace tarvo
