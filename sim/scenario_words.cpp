#include "scenario_words.h"

#include <cmath>
#include <stdexcept>

namespace tarvo::sim {

namespace {

constexpr int kMaxSignificantDigits = 15;

char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

int hex_digit(char c) {
  if (is_digit(c)) return c - '0';
  c = lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace

bool same_word(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::vector<std::string_view> split_words(std::string_view line) {
  line = line.substr(0, line.find('#'));
  std::vector<std::string_view> words;
  constexpr std::string_view kBlanks = " \t\r\v\f";
  for (auto start = line.find_first_not_of(kBlanks); start != std::string_view::npos;) {
    const auto end = line.find_first_of(kBlanks, start);
    words.push_back(line.substr(start, end - start));
    start = line.find_first_not_of(kBlanks, end == std::string_view::npos ? line.size() : end);
  }
  return words;
}

std::optional<double> parse_decimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  long long mantissa = 0;
  int digits = 0, decimals = 0;
  bool seen_point = false;
  for (const char c : text) {
    if (c == '.' && !seen_point) {
      seen_point = true;
    } else if (is_digit(c) && digits < kMaxSignificantDigits) {
      mantissa = mantissa * 10 + (c - '0');
      ++digits;
      if (seen_point) ++decimals;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  const double value = static_cast<double>(mantissa) / std::pow(10.0, decimals);
  return negative ? -value : value;
}

Duration parse_duration(std::string_view text) {
  struct Unit {
    std::string_view suffix;
    double microseconds;
  };
  // "ms" before "s", so that "300ms" is not read as 300m + "s".
  constexpr Unit kUnits[] = {{"ms", 1e3}, {"min", 60e6}, {"s", 1e6}, {"h", 3600e6}};
  for (const Unit& unit : kUnits) {
    if (text.size() <= unit.suffix.size() || !text.ends_with(unit.suffix)) continue;
    const auto number = parse_decimal(text.substr(0, text.size() - unit.suffix.size()));
    if (!number || *number <= 0) break;
    const double us = std::round(*number * unit.microseconds);
    if (us < 1 || us > 1e12) break;
    return Duration{static_cast<Duration::rep>(us)};
  }
  throw std::invalid_argument("expected a duration such as 300ms, 5s, 2min or 1h, not " +
                              quoted(text));
}

int parse_count(std::string_view text, int low, int high, std::string_view what) {
  const auto number = parse_decimal(text);
  if (!number || *number != std::floor(*number) || *number < low || *number > high) {
    throw std::invalid_argument(std::string(what) + " must be a whole number from " +
                                std::to_string(low) + " to " + std::to_string(high) + ", not " +
                                quoted(text));
  }
  return static_cast<int>(*number);
}

std::optional<PlannedValue> parse_value(std::string_view text) {
  PlannedValue v;
  if (same_word(text, "OL") || same_word(text, "-OL")) {
    v.overload = true;
    v.negative_overload = text[0] == '-';
    return v;
  }
  const auto dots = text.find("..");
  const auto from = parse_decimal(text.substr(0, dots));
  const auto to = dots == std::string_view::npos ? from : parse_decimal(text.substr(dots + 2));
  if (!from || !to) return std::nullopt;
  v.from = *from;
  v.to = *to;
  return v;
}

void parse_hex_bytes(std::string_view text, std::vector<std::uint8_t>& out) {
  if (text.size() % 2 != 0) {
    throw std::invalid_argument("hex bytes come in pairs of digits: " + quoted(text));
  }
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = hex_digit(text[i]), low = hex_digit(text[i + 1]);
    if (high < 0 || low < 0) throw std::invalid_argument("not a hex byte: " + quoted(text));
    out.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
}

}  // namespace tarvo::sim
