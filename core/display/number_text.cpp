#include "display/number_text.h"

#include <cstddef>

namespace tarvo {

namespace {

constexpr std::size_t kDecimals = 4;
constexpr std::size_t kSignificantDigits = 15;

std::string magnitude_digits(std::int64_t value) {
  // Through unsigned, so that the most negative value has a magnitude too.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  // At least one digit before the four decimals.
  if (digits.size() <= kDecimals) digits.insert(0, kDecimals + 1 - digits.size(), '0');
  return digits;
}

// Keeps the first kSignificantDigits digits, rounding half away from zero;
// the dropped places become zeros. Only scaled values of 10^15 and more, that
// is above 100 billion, have more digits than that.
void round_to_significant(std::string& digits) {
  const std::size_t leading = digits.find_first_not_of('0');
  if (leading == std::string::npos || digits.size() - leading <= kSignificantDigits) return;
  const std::size_t cut = leading + kSignificantDigits;
  const bool up = digits[cut] >= '5';
  digits.replace(cut, std::string::npos, digits.size() - cut, '0');
  for (std::size_t i = cut; up && i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  if (up) digits.insert(digits.begin(), '1');
}

}  // namespace

std::string scaled_number_text(std::int64_t value_x10000, std::string_view decimal_separator) {
  std::string digits = magnitude_digits(value_x10000);
  round_to_significant(digits);
  const std::size_t point = digits.size() - kDecimals;
  std::string text = value_x10000 < 0 ? "-" : "";
  text.append(digits, 0, point);
  const std::size_t last_decimal = digits.find_last_not_of('0');
  if (last_decimal != std::string::npos && last_decimal >= point) {
    text += decimal_separator;
    text.append(digits, point, last_decimal + 1 - point);
  }
  return text;
}

}  // namespace tarvo
