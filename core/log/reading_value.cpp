#include "log/reading_value.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "log/range_fields.h"
#include "log/reading_log.h"

namespace tarvo {

namespace {

// Removes the leading ASCII digits of text and returns them.
std::string_view take_digits(std::string_view& text) {
  std::size_t n = 0;
  while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
  const std::string_view digits = text.substr(0, n);
  text.remove_prefix(n);
  return digits;
}

constexpr std::uint64_t kMaxMagnitude = std::numeric_limits<std::int64_t>::max();

// magnitude * 10 + digit, or false when that passes kMaxMagnitude.
bool push_digit(std::uint64_t& magnitude, char digit) {
  const auto d = static_cast<std::uint64_t>(digit - '0');
  if (magnitude > (kMaxMagnitude - d) / 10) return false;
  magnitude = magnitude * 10 + d;
  return true;
}

constexpr std::size_t kScaleDigits = 4;  // times 10000

// The integer digits followed by the first four fraction digits (padded with
// zeros), rounded by the fifth.
std::optional<std::uint64_t> scaled_magnitude(std::string_view whole, std::string_view fraction) {
  std::uint64_t magnitude = 0;
  for (const char c : whole) {
    if (!push_digit(magnitude, c)) return std::nullopt;
  }
  for (std::size_t k = 0; k < kScaleDigits; ++k) {
    if (!push_digit(magnitude, k < fraction.size() ? fraction[k] : '0')) {
      return std::nullopt;
    }
  }
  if (fraction.size() > kScaleDigits && fraction[kScaleDigits] >= '5') {
    if (magnitude == kMaxMagnitude) return std::nullopt;
    ++magnitude;
  }
  return magnitude;
}

double to_double(const std::string& text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

std::optional<std::int64_t> scaled_decimal(std::string_view text,
                                           std::string_view decimal_separator) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::string_view whole = take_digits(text);
  std::string_view fraction;
  if (!decimal_separator.empty() && text.starts_with(decimal_separator)) {
    text.remove_prefix(decimal_separator.size());
    fraction = take_digits(text);
  }
  if (!text.empty() || (whole.empty() && fraction.empty())) return std::nullopt;

  const std::optional<std::uint64_t> magnitude = scaled_magnitude(whole, fraction);
  if (!magnitude) return std::nullopt;
  const auto value = static_cast<std::int64_t>(*magnitude);
  return negative ? -value : value;
}

std::optional<std::int64_t> scaled_main_value(std::string_view main_no, std::string_view main_range,
                                              std::string_view decimal_separator) {
  const std::int8_t sign = overload_sign(main_no);
  if (sign == 0) return scaled_decimal(main_no, decimal_separator);
  const std::optional<std::int64_t> full_scale =
      scaled_decimal(split_main_range(main_range).range_text, decimal_separator);
  if (!full_scale) return std::nullopt;
  return sign > 0 ? *full_scale : -*full_scale;
}

std::optional<double> main_value(std::string_view main_no, std::string_view decimal_separator) {
  const std::string_view text = trim_controls(main_no);
  if (text.empty() || is_overload(text)) return std::nullopt;
  std::string plain(text);
  if (!decimal_separator.empty() && decimal_separator != ".") {
    const std::size_t at = plain.find(decimal_separator);
    if (at != std::string::npos) plain.replace(at, decimal_separator.size(), ".");
  }
  const char* first = plain.data();
  if (!plain.empty() && plain[0] == '+') ++first;
  double value = 0;
  const auto [ptr, ec] =
      std::from_chars(first, plain.data() + plain.size(), value, std::chars_format::fixed);
  if (ec != std::errc() || ptr != plain.data() + plain.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

bool is_overload(std::string_view main_no) {
  const std::string_view text = trim_controls(main_no);
  return text == "OL" || text == "-OL";
}

std::int8_t overload_sign(std::string_view main_no) {
  if (main_no.find("OL") == std::string_view::npos) return 0;
  return main_no.find('-') == std::string_view::npos ? 1 : -1;
}

std::optional<ExactDecimal> exact_decimal(std::string_view text,
                                          std::string_view decimal_separator) {
  ExactDecimal d;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    d.negative = text.front() == '-';
    text.remove_prefix(1);
  }
  d.digits = take_digits(text);
  d.point = static_cast<std::ptrdiff_t>(d.digits.size());
  if (!decimal_separator.empty() && text.starts_with(decimal_separator)) {
    text.remove_prefix(decimal_separator.size());
    d.digits += take_digits(text);
  }
  if (!text.empty() || d.digits.empty()) return std::nullopt;
  return d;
}

std::string shifted_text(const ExactDecimal& d, int exponent) {
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

double nearest_double(const ExactDecimal& d) {
  return to_double(shifted_text(d, 0));
}

RunFields run_fields(std::string_view main_range) {
  const RangeFields fields = split_main_range(main_range);
  return {trim_controls(fields.function_key), fields.unit_text};
}

namespace {

constexpr int kMostDigits = 18;  // what an int64 holds whatever the digits

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// "-12.345" or "0,4254": an optional minus, digits and at most one mark, with
// nothing around it; what the decoders write.
struct PlainNumber {
  bool negative = false;
  char mark = 0;
  std::int64_t digits = 0;
  int decimals = 0;
};

std::optional<PlainNumber> plain_number(std::string_view text) {
  PlainNumber n;
  if (text.starts_with('-')) {
    n.negative = true;
    text.remove_prefix(1);
  }
  int count = 0;
  for (const char c : text) {
    if (is_digit(c)) {
      if (++count > kMostDigits) return std::nullopt;
      n.digits = n.digits * 10 + (c - '0');
      if (n.mark != 0) ++n.decimals;
    } else if ((c == '.' || c == ',') && n.mark == 0) {
      n.mark = c;
    } else {
      return std::nullopt;
    }
  }
  if (count == 0) return std::nullopt;
  return n;
}

// Separators the stored value answers for; with any other the text is read.
bool answers_for(std::string_view separator) {
  return separator == "." || separator == ",";
}

// The number's mark is the separator the texts carry, or it has none.
bool mark_fits(const ReadingValue& v, std::string_view separator) {
  return v.mark() == 0 || v.mark() == separator.front();
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
constexpr std::int64_t kExactInDouble = std::int64_t{1} << 53;

ExactDecimal decimal_of(const ReadingValue& v) {
  ExactDecimal d;
  d.negative = v.negative();
  d.digits = std::to_string(v.digits());
  const auto decimals = static_cast<std::size_t>(v.decimals());
  if (d.digits.size() <= decimals) d.digits.insert(0, decimals + 1 - d.digits.size(), '0');
  d.point = static_cast<std::ptrdiff_t>(d.digits.size() - decimals);
  return d;
}

// One division of two exact doubles rounds once, as reading the text would.
double double_of(const ReadingValue& v) {
  const double magnitude = v.digits() < kExactInDouble
                               ? static_cast<double>(v.digits()) / kPowersOfTen[v.decimals()]
                               : nearest_double(decimal_of(v));
  return v.negative() ? -magnitude : magnitude;
}

std::optional<std::int64_t> scaled_of(const ReadingValue& v) {
  std::int64_t magnitude = v.digits();
  if (v.decimals() <= static_cast<int>(kScaleDigits)) {
    const auto factor = static_cast<std::int64_t>(kPowersOfTen[kScaleDigits - v.decimals()]);
    if (magnitude > std::numeric_limits<std::int64_t>::max() / factor) return std::nullopt;
    magnitude *= factor;
  } else {
    // Rounded by the first dropped digit alone, halves away from zero.
    const auto factor = static_cast<std::int64_t>(kPowersOfTen[v.decimals() - kScaleDigits - 1]);
    const std::int64_t kept = magnitude / factor;
    magnitude = kept / 10 + (kept % 10 >= 5 ? 1 : 0);
  }
  return v.negative() ? -magnitude : magnitude;
}

}  // namespace

// A plain number holds no "OL", so the common case is decided in one pass.
ReadingValue ReadingValue::of(std::string_view main_no) {
  ReadingValue v;
  if (const std::optional<PlainNumber> n = plain_number(main_no)) {
    std::memcpy(v.bits_.data(), &n->digits, sizeof n->digits);
    v.bits_[kDecimals] = static_cast<std::uint8_t>(n->decimals);
    v.bits_[kFlags] = static_cast<std::uint8_t>(Form::Number) | (n->negative ? kNegative : 0) |
                      (n->mark == '.' ? kMarkPoint : 0) | (n->mark == ',' ? kMarkComma : 0);
    return v;
  }
  const std::int8_t sign = overload_sign(main_no);
  if (sign != 0) {
    v.bits_[kFlags] = static_cast<std::uint8_t>(Form::Overload) | (sign < 0 ? kNegative : 0) |
                      (is_overload(main_no) ? kExactOverload : 0);
  }
  return v;
}

char ReadingValue::mark() const {
  if ((bits_[kFlags] & kMarkPoint) != 0) return '.';
  if ((bits_[kFlags] & kMarkComma) != 0) return ',';
  return 0;
}

std::int64_t ReadingValue::digits() const {
  std::int64_t digits = 0;
  std::memcpy(&digits, bits_.data(), sizeof digits);
  return digits;
}

// main_value() of the text also takes a point where the separator is a comma.
std::optional<double> main_value(const real_Record& record, std::string_view decimal_separator) {
  const ReadingValue& v = record.Value;
  if (v.form() == ReadingValue::Form::Overload) return std::nullopt;
  if (v.form() == ReadingValue::Form::Text || !answers_for(decimal_separator)) {
    return main_value(record.Main_No.view(), decimal_separator);
  }
  if (v.mark() == ',' && decimal_separator != ",") return std::nullopt;
  return double_of(v);
}

std::optional<ExactDecimal> main_decimal(const real_Record& record,
                                         std::string_view decimal_separator) {
  const ReadingValue& v = record.Value;
  if (v.form() == ReadingValue::Form::Overload) return std::nullopt;
  if (v.form() == ReadingValue::Form::Text || !answers_for(decimal_separator)) {
    return exact_decimal(trim_controls(record.Main_No.view()), decimal_separator);
  }
  if (!mark_fits(v, decimal_separator)) return std::nullopt;
  return decimal_of(v);
}

bool is_overload(const real_Record& record) {
  const ReadingValue& v = record.Value;
  if (v.form() == ReadingValue::Form::Text) return is_overload(record.Main_No.view());
  return v.exact_overload();
}

std::int8_t overload_sign(const real_Record& record) {
  const ReadingValue& v = record.Value;
  if (v.form() == ReadingValue::Form::Text) return overload_sign(record.Main_No.view());
  if (v.form() == ReadingValue::Form::Number) return 0;
  return v.negative() ? -1 : 1;
}

std::optional<std::int64_t> range_full_scale(const real_Record& record,
                                             std::string_view decimal_separator) {
  return scaled_decimal(split_main_range(record.Main_Range.view()).range_text, decimal_separator);
}

std::optional<std::int64_t> plotted_value(const real_Record& record,
                                          std::string_view decimal_separator) {
  const std::optional<std::int64_t> full_scale = range_full_scale(record, decimal_separator);
  if (!full_scale) return std::nullopt;
  const ReadingValue& v = record.Value;
  if (v.form() == ReadingValue::Form::Text || !answers_for(decimal_separator)) {
    return scaled_main_value(record.Main_No.view(), record.Main_Range.view(), decimal_separator);
  }
  if (v.form() == ReadingValue::Form::Overload) return v.negative() ? -*full_scale : *full_scale;
  if (!mark_fits(v, decimal_separator)) return std::nullopt;
  return scaled_of(v);
}

}  // namespace tarvo
