#include "reading_line.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>

#include "decode/meter_family.h"
#include "meter_catalogue.h"
#include "scenario_words.h"
#include "sim_family.h"

namespace tarvo::sim {

namespace {

constexpr double kMaxCount = 99999;

[[noreturn]] void fail(const std::string& message) {
  throw std::invalid_argument(message);
}

std::string quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

class Words {
 public:
  explicit Words(std::span<const std::string_view> words) : words_(words) {}
  bool done() const { return pos_ >= words_.size(); }
  std::string_view peek() const { return done() ? std::string_view{} : words_[pos_]; }
  std::string_view next(std::string_view what) {
    if (done()) fail("the line ends where " + std::string(what) + " should follow");
    return words_[pos_++];
  }
  bool take(std::string_view keyword) {
    if (done() || !same_word(words_[pos_], keyword)) return false;
    ++pos_;
    return true;
  }

 private:
  std::span<const std::string_view> words_;
  std::size_t pos_ = 0;
};

// What the clauses after the main value asked for, checked once the line is read.
struct Clauses {
  bool relative = false;
  bool mirrored_sub = false;  // "sub VALUE": the sub display repeats the main function
  std::string_view sub_function;
  bool has_duration = false;
};

std::string largest_shown(int decimals) {
  std::string digits = "99999";
  if (decimals > 0) digits.insert(digits.size() - static_cast<std::size_t>(decimals), ".");
  return digits;
}

void check_fits(const PlannedValue& v, std::string_view range_label) {
  if (v.overload) return;
  const double extreme = std::max(std::abs(v.from), std::abs(v.to)) + v.noise;
  if (std::round(extreme * std::pow(10.0, v.decimals)) > kMaxCount) {
    fail("the value does not fit the range " + std::string(range_label) + " (at most " +
         largest_shown(v.decimals) + ")");
  }
}

PlannedValue read_value(Words& words, const MeterRange& range) {
  const std::string_view text = words.next("a value");
  auto value = parse_value(text);
  if (!value) fail("expected a value such as 12.345, -OL or 3.29..3.31, not " + quoted(text));
  if (words.take("noise")) {
    const std::string_view amount = words.next("the noise amplitude");
    const auto noise = parse_decimal(amount);
    if (!noise || *noise < 0) fail("the noise must be a positive number, not " + quoted(amount));
    value->noise = *noise;
  }
  value->decimals = decimals_of(range.text);
  check_fits(*value, std::string(range.text) + " " + std::string(range.unit));
  return *value;
}

std::string ranges_list(std::span<const MeterFunction> functions, std::string_view name) {
  std::string list;
  for (const MeterFunction& f : functions) {
    if (!same_word(f.name, name)) continue;
    for (const MeterRange& r : f.ranges) {
      list += (list.empty() ? "" : ", ") + std::string(r.text) + " " + std::string(r.unit);
    }
  }
  return list;
}

CatalogueHit read_range(Words& words, std::span<const MeterFunction> functions,
                        std::string_view name) {
  const std::string_view text = words.next("a range such as 50.000");
  const std::string_view unit = words.next("a unit");
  const auto hit = find_range(functions, name, text, unit);
  if (!hit) {
    fail(std::string(name) + " has no range " + std::string(text) + " " + std::string(unit) +
         "; it has " + ranges_list(functions, name));
  }
  return *hit;
}

SubDisplay sub_kind(std::string_view name) {
  if (same_word(name, "FRE")) return SubDisplay::Frequency;
  if (same_word(name, "dBm")) return SubDisplay::Dbm;
  return SubDisplay::DutyCycle;
}

void read_sub(Words& words, ReadingStep& step, Clauses& clauses, const MeterRange& main_range) {
  const MeterFamily& family = *family_of(step.display.family);
  if (!family.has_sub_display)
    fail("the " + std::string(family.name) + " meter has no sub display");
  if (clauses.mirrored_sub || !clauses.sub_function.empty()) fail("only one sub clause per line");
  if (parse_value(words.peek())) {
    clauses.mirrored_sub = true;
    step.sub = read_value(words, main_range);
    return;
  }
  const std::span<const MeterFunction> subs = sim_family_of(step.display.family).sub_functions;
  const std::string choices = function_names(subs, " or ");
  const std::string_view name = words.next("a sub display function (" + choices + ")");
  if (!has_function(subs, name)) fail("the sub display shows " + choices + ", not " + quoted(name));
  const CatalogueHit hit = read_range(words, subs, name);
  clauses.sub_function = name;
  step.display.sub = sub_kind(name);
  step.display.sub_frequency_range = hit.range->code;
  step.sub = read_value(words, *hit.range);
}

struct StatWord {
  std::string_view word;
  int mode;
};
constexpr int kAverageMode = 4;
constexpr StatWord kStatWords[] = {
    {"MAX", 1}, {"MIN", 2}, {"MAXMIN", 3}, {"MAX-MIN", 3}, {"AVG", kAverageMode}};

std::optional<int> stat_mode_word(std::string_view word) {
  for (const StatWord& s : kStatWords) {
    if (same_word(word, s.word)) return s.mode;
  }
  return std::nullopt;
}

void set_stat_mode(ReadingStep& step, int mode) {
  if (step.display.stat_mode != 0) fail("only one of MAX, MIN, MAXMIN and AVG per line");
  const MeterModel family = step.display.family;
  if (mode == kAverageMode && !sim_family_of(family).has_average) {
    fail("the " + std::string(family_of(family)->name) + " meter has no AVG mode");
  }
  step.display.stat_mode = mode;
}

void read_clause(Words& words, ReadingStep& step, Clauses& clauses, const MeterRange& main_range) {
  const std::string_view word = words.next("a clause");
  if (same_word(word, "HOLD")) {
    step.display.hold = true;
  } else if (same_word(word, "REL")) {
    if (!sim_family_of(step.display.family).has_relative) {
      fail("the " + std::string(family_of(step.display.family)->name) + " meter has no REL mode");
    }
    clauses.relative = true;
  } else if (const auto mode = stat_mode_word(word)) {
    set_stat_mode(step, *mode);
  } else if (same_word(word, "sub")) {
    read_sub(words, step, clauses, main_range);
  } else if (same_word(word, "for")) {
    if (clauses.has_duration) fail("only one \"for\" per line");
    clauses.has_duration = true;
    step.duration = parse_duration(words.next("a duration"));
  } else {
    fail("unknown word " + quoted(word) +
         "; expected HOLD, REL, MAX, MIN, MAXMIN, AVG, sub or for");
  }
}

void apply_clauses(ReadingStep& step, const Clauses& clauses) {
  if (clauses.relative && !clauses.sub_function.empty()) {
    fail("REL puts the main function on the sub display; it cannot show " +
         std::string(clauses.sub_function) + " too");
  }
  if (clauses.mirrored_sub && !clauses.relative && step.display.stat_mode == 0) {
    const std::span<const MeterFunction> subs = sim_family_of(step.display.family).sub_functions;
    fail(
        "\"sub VALUE\" repeats the main function, which the meter does only with REL, MAX, "
        "MIN, MAXMIN or AVG; name a sub function (" +
        function_names(subs, ", ") + ") otherwise");
  }
  if (clauses.relative) step.display.sub = SubDisplay::Relative;
}

}  // namespace

ReadingStep parse_reading_line(std::span<const std::string_view> words, MeterModel family,
                               Duration interval) {
  Words cursor(words);
  const auto functions = sim_family_of(family).functions;
  const std::string_view name = cursor.next("a function");
  if (!has_function(functions, name)) {
    fail("unknown step or function " + quoted(name) + " for the " +
         std::string(family_of(family)->name) + " meter");
  }
  ReadingStep step;
  step.interval = interval;
  step.display.family = family;
  step.display.auto_range = !(cursor.take("MANU") || cursor.take("MANUAL"));
  if (step.display.auto_range) cursor.take("AUTO");
  const CatalogueHit hit = read_range(cursor, functions, name);
  step.display.function = hit.function->code;
  step.display.range = hit.range->code;
  step.main = read_value(cursor, *hit.range);
  Clauses clauses;
  while (!cursor.done()) read_clause(cursor, step, clauses, *hit.range);
  apply_clauses(step, clauses);
  return step;
}

}  // namespace tarvo::sim
