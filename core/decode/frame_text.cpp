#include "decode/frame_text.h"

#include <algorithm>

namespace tarvo {

namespace {

// The meter sends 50000-count readings: five digits, so never more after the point.
constexpr std::size_t kMaxDigits = 5;
constexpr std::size_t kMaxRangeDecimals = 10;

bool row_matches(const RangeRow& row, std::string_view function, std::string_view unit) {
  return row.selector == (row.key == RangeKey::Unit ? unit : function);
}

}  // namespace

std::string localise_unit(std::string_view table_unit, std::string_view ohm_sign) {
  std::string unit(table_unit);
  if (const auto at = unit.find(kOhmMark); at != std::string::npos) {
    unit.replace(at, kOhmMark.size(), ohm_sign);
  }
  return unit;
}

FunctionRow lookup_function(std::span<const FunctionRow> table, int code) {
  if (code < 0 || static_cast<std::size_t>(code) >= table.size()) return {code, {}, {}};
  return table[static_cast<std::size_t>(code)];
}

RangeChoice lookup_range(std::span<const RangeRow> table, std::string_view function,
                         std::string_view unit, int code, std::string_view ohm_sign) {
  RangeChoice choice{{}, std::string(unit)};
  if (code < 0 || code >= kRangeCodes) return choice;
  const auto row = std::find_if(table.begin(), table.end(),
                                [&](const RangeRow& r) { return row_matches(r, function, unit); });
  if (row == table.end()) return choice;
  const RangeCell& cell = row->cells[static_cast<std::size_t>(code)];
  choice.text = cell.text;
  if (!cell.unit.empty()) choice.unit = localise_unit(cell.unit, ohm_sign);
  return choice;
}

std::string digits_text(std::span<const std::uint8_t> digits) {
  std::string text;
  text.reserve(digits.size());
  for (const std::uint8_t d : digits) text.push_back(static_cast<char>('0' + d % 10));
  return text;
}

std::string localise_point(std::string_view range_text, std::string_view separator) {
  const auto point = range_text.find('.');
  if (point == std::string_view::npos) return std::string(range_text);
  std::string text(range_text.substr(0, point));
  text += separator;
  text += range_text.substr(point + 1, kMaxRangeDecimals);
  return text;
}

std::string place_decimal_point(std::string_view digits, std::string_view range_text,
                                std::string_view separator) {
  // An empty separator would be "found" everywhere; such a number stays an integer.
  if (separator.empty()) return std::string(digits);
  const auto at = range_text.find(separator);
  if (at == std::string_view::npos) return std::string(digits);
  // Decimals are counted after the whole separator, so a multibyte one is not
  // mistaken for extra decimals.
  const std::size_t decimals = range_text.size() - at - separator.size();
  if (decimals == 0) return std::string(digits);
  const std::size_t head = digits.size() > decimals ? digits.size() - decimals : 0;
  std::string number(digits.substr(0, head));
  number += separator;
  number += digits.substr(head, kMaxDigits);
  return number;
}

std::string strip_leading_zeros(std::string_view number, std::string_view separator) {
  while (number.size() > 1 && number.front() == '0') {
    if (!separator.empty() && number.substr(1, separator.size()) == separator) break;
    number.remove_prefix(1);
  }
  return std::string(number);
}

std::string display_number(std::span<const std::uint8_t> digits, std::string_view range_text,
                           std::string_view separator) {
  return strip_leading_zeros(place_decimal_point(digits_text(digits), range_text, separator),
                             separator);
}

bool main_takes_sign(std::string_view function) {
  return function != "ACV" && function != "OHM" && function != "ACA";
}

bool sub_takes_sign(std::string_view function) {
  return function != "ACV" && function != "OHM";
}

std::string shown_value(std::string number, bool overload, bool negative) {
  if (overload) number = "OL";
  // Built as a new string: an in-place insert at the front trips a false
  // -Wrestrict of GCC 12 at -O3.
  return negative ? "-" + number : number;
}

std::string_view range_word(bool is_auto) {
  return is_auto ? "AUTO" : "MANU";
}

bool forces_manual_range(std::string_view function) {
  return function == "DIO" || function == "CON";
}

std::string join_with_spaces(std::initializer_list<std::string_view> parts) {
  std::string text;
  bool first = true;
  for (const std::string_view part : parts) {
    if (!first) text += ' ';
    text += part;
    first = false;
  }
  return text;
}

}  // namespace tarvo
