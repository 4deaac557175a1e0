#include "options.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "decode/meter_family.h"
#include "i18n/language_table.h"

namespace tarvo::cli {

// Any other mark would be read into the numbers themselves ("1" turns
// 3.3042 V into 313042 V).
std::optional<std::string> OptionReader::take_decimal_separator() {
  std::optional<std::string> separator = take("--decimal-separator");
  if (separator && separator->empty()) {
    throw UsageError("--decimal-separator must not be empty");
  }
  if (separator && *separator != "." && *separator != ",") {
    throw UsageError("--decimal-separator must be \".\" or \",\", not \"" + *separator + "\"");
  }
  return separator;
}

std::optional<std::string> OptionReader::take(std::string_view name) {
  std::optional<std::string> value = take_each(name);
  if (!value) return value;
  if (std::find(taken_.begin(), taken_.end(), name) != taken_.end()) {
    throw UsageError(std::string(name) + " is given more than once");
  }
  taken_.emplace_back(name);
  return value;
}

std::optional<std::string> OptionReader::take_each(std::string_view name) {
  if (done()) return std::nullopt;
  const std::string& arg = args_[pos_];
  if (arg == name) {
    if (pos_ + 1 >= args_.size()) throw UsageError(std::string(name) + " needs a value");
    pos_ += 2;
    return args_[pos_ - 1];
  }
  if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
    ++pos_;
    return arg.substr(name.size() + 1);
  }
  return std::nullopt;
}

bool OptionReader::take_flag(std::string_view name) {
  if (done() || args_[pos_] != name) return false;
  ++pos_;
  return true;
}

std::string OptionReader::take_positional() {
  const std::string& arg = args_[pos_++];
  if (arg.size() > 2 && arg.starts_with("--")) throw UsageError("unknown option " + arg);
  return arg;
}

MeterModel parse_family(const std::string& text) {
  const std::optional<std::string> error = family_option_error(text);
  if (error) throw UsageError(*error);
  return *family_named(text);
}

long parse_int_in(const std::string& text, long low, long high, std::string_view option) {
  long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
    throw UsageError(std::string(option) + " must be a whole number from " + std::to_string(low) +
                     " to " + std::to_string(high) + ", not \"" + text + "\"");
  }
  return value;
}

int language_from_environment() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return language_for_locale(value);
  }
  return 1;
}

}  // namespace tarvo::cli
