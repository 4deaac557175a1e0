#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "decode/meter_model.h"

namespace tarvo::cli {

// A mistake on the command line; the tool prints it and exits with status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Walks the arguments of one subcommand. Options take their value either as the
// next argument ("--family compact") or after "=" ("--family=compact").
class OptionReader {
 public:
  explicit OptionReader(std::vector<std::string> args) : args_(std::move(args)) {}

  bool done() const { return pos_ >= args_.size(); }
  // The value of option `name` when it is the current argument, else nullopt.
  // An option given a second time is a UsageError: which of two values was
  // meant cannot be guessed.
  std::optional<std::string> take(std::string_view name);
  // The same for an option that may be given again and again (--port).
  std::optional<std::string> take_each(std::string_view name);
  // True (and consumed) when the current argument is the flag `name`.
  bool take_flag(std::string_view name);
  // The value of --decimal-separator when it is the current argument, which
  // every command that reads or writes numbers takes alike; an empty one is a
  // UsageError, and so is any mark but "." or ",".
  std::optional<std::string> take_decimal_separator();
  // The current argument as a positional one; options left over are errors.
  std::string take_positional();

 private:
  std::vector<std::string> args_;
  std::vector<std::string> taken_;  // the single-valued options given so far
  std::size_t pos_ = 0;
};

MeterModel parse_family(const std::string& text);
// An integer in [low, high], or a UsageError naming the option.
long parse_int_in(const std::string& text, long low, long high, std::string_view option);
// The language the environment's locale asks for (LC_ALL, LC_MESSAGES, LANG).
int language_from_environment();

}  // namespace tarvo::cli
