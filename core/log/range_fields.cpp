#include "log/range_fields.h"

#include <limits>

#include "log/fixed_text.h"

namespace tarvo {

namespace {

constexpr std::size_t kNoSpace = std::string_view::npos;

// The byte offset reached after stepping over `chars` characters from `pos`.
std::size_t skip_chars(std::string_view text, std::size_t pos, std::size_t chars) {
  for (; chars > 0 && pos < text.size(); --chars) pos += utf8_char_length(text, pos);
  return pos;
}

// After the function name and its space come the range word and its space,
// five characters; the window for range and unit is 20 characters long.
constexpr std::size_t kRangeWordChars = 5;
constexpr std::size_t kWindowChars = 20;

std::string_view range_window(std::string_view main_range, std::size_t first_space) {
  const std::size_t after_space = first_space == kNoSpace ? 0 : first_space + 1;
  const std::size_t start = skip_chars(main_range, after_space, kRangeWordChars);
  const std::size_t end = skip_chars(main_range, start, kWindowChars);
  return trim_controls(main_range.substr(start, end - start));
}

}  // namespace

// Bytes of multi-byte characters are all above 0x7F, so trimming byte-wise
// never cuts into a character.
std::string_view trim_controls(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

RangeFields split_main_range(std::string_view main_range) {
  RangeFields fields;
  const std::size_t first_space = main_range.find(' ');
  if (first_space != kNoSpace) fields.function_key = main_range.substr(0, first_space + 1);

  const std::string_view window = range_window(main_range, first_space);
  const std::size_t split = window.find(' ');
  if (split == kNoSpace) {
    fields.unit_text = window;
  } else {
    fields.range_text = trim_controls(window.substr(0, split));
    fields.unit_text = trim_controls(window.substr(split));
  }
  return fields;
}

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
  if (main_no.find("OL") == std::string_view::npos) {
    return scaled_decimal(main_no, decimal_separator);
  }
  const std::optional<std::int64_t> full_scale =
      scaled_decimal(split_main_range(main_range).range_text, decimal_separator);
  if (!full_scale) return std::nullopt;
  return main_no.find('-') == std::string_view::npos ? *full_scale : -*full_scale;
}

}  // namespace tarvo
