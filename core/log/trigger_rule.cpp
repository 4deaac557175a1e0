#include "log/trigger_rule.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tarvo {
namespace {

constexpr std::int32_t kDay = 24 * 3600;

std::optional<double> whole_number(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::int32_t> clock_field(std::string_view text, int most) {
  if (text.size() != 2) return std::nullopt;
  int value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + 2, value);
  if (ec != std::errc() || ptr != text.data() + 2 || value > most) return std::nullopt;
  return value;
}

// "HH:MM" or "HH:MM:SS", in seconds after midnight.
std::optional<std::int32_t> time_of_day(std::string_view text) {
  if (text.size() != 5 && text.size() != 8) return std::nullopt;
  const auto h = clock_field(text.substr(0, 2), 23);
  const auto m = clock_field(text.substr(3, 2), 59);
  const auto s = text.size() == 8 ? clock_field(text.substr(6, 2), 59) : std::optional<int>(0);
  if (text[2] != ':' || (text.size() == 8 && text[5] != ':') || !h || !m || !s) return std::nullopt;
  return *h * 3600 + *m * 60 + *s;
}

double number_of(const AlarmSample& s) {
  if (s.value) return *s.value;
  return s.overload > 0 ? std::numeric_limits<double>::infinity()
                        : -std::numeric_limits<double>::infinity();
}

}  // namespace

std::optional<TriggerCondition> parse_trigger(std::string_view text, std::string& why) {
  why.clear();
  const auto colon = text.find(':');
  const std::string_view word = text.substr(0, colon);
  const std::string_view rest = colon == std::string_view::npos ? "" : text.substr(colon + 1);
  TriggerCondition c;
  if (word == "rises" || word == "falls") {
    c.kind = word == "rises" ? TriggerCondition::Kind::Rises : TriggerCondition::Kind::Falls;
    const auto level = whole_number(rest);
    if (!level) {
      why = "\"" + std::string(rest) + "\" is not a level (a number with a \".\")";
      return std::nullopt;
    }
    c.level = *level;
    return c;
  }
  if (word == "at") {
    const auto t = time_of_day(rest);
    if (!t) {
      why = "\"" + std::string(rest) + "\" is not a time of day (HH:MM or HH:MM:SS)";
      return std::nullopt;
    }
    c.kind = TriggerCondition::Kind::At;
    c.time_of_day = *t;
    return c;
  }
  why = "\"" + std::string(text) + "\" is no condition (rises:LEVEL, falls:LEVEL or at:HH:MM[:SS])";
  return std::nullopt;
}

std::optional<StopAfter> parse_stop_after(std::string_view text, std::string& why) {
  why.clear();
  StopAfter stop;
  const char last = text.empty() ? '\0' : text.back();
  const double unit = last == 's' ? 1 : last == 'm' ? 60 : last == 'h' ? 3600 : 0;
  const std::string_view digits = unit > 0 ? text.substr(0, text.size() - 1) : text;
  std::int64_t n = 0;
  const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (digits.empty() || ec != std::errc() || ptr != digits.data() + digits.size() || n <= 0) {
    why = "\"" + std::string(text) +
          "\" is neither a count of readings nor a duration (90s, 15m, 2h)";
    return std::nullopt;
  }
  if (unit > 0) {
    stop.seconds = static_cast<double>(n) * unit;
  } else {
    stop.readings = n;
  }
  return stop;
}

void TriggerWatch::arm(double seconds, std::int32_t time_of_day) {
  previous_.reset();
  std::int32_t wait = condition_.time_of_day - time_of_day;
  if (wait <= 0) wait += kDay;  // the time has passed today: tomorrow's
  due_ = seconds + wait;
}

bool TriggerWatch::reading(const AlarmSample& sample) {
  if (condition_.kind == TriggerCondition::Kind::At) return sample.seconds >= due_;
  if (!sample.value && sample.overload == 0) return false;
  const double value = number_of(sample);
  const std::optional<double> before = previous_;
  previous_ = value;
  if (!before) return false;
  if (condition_.kind == TriggerCondition::Kind::Rises) {
    return *before < condition_.level && value >= condition_.level;
  }
  return *before > condition_.level && value <= condition_.level;
}

}  // namespace tarvo
