#include "alarm/alarm_watch.h"

#include <charconv>
#include <cmath>

namespace tarvo {
namespace {

std::string side_name(ExcursionSide side) {
  return side == ExcursionSide::High ? "high" : "low";
}

}  // namespace

std::string alarm_number(double value) {
  if (std::isinf(value)) return value > 0 ? "OL" : "-OL";
  char digits[32];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  return ec == std::errc() ? std::string(digits, end) : std::string();
}

void AlarmWatch::set(const AlarmSettings& settings) {
  settings_ = settings;
  tracker_ = ExcursionTracker(settings.rule);
  stale_ = StaleWatch(settings.stale);
  excursions_ = 0;
}

double AlarmWatch::limit_of(ExcursionSide side) const {
  return side == ExcursionSide::High ? *settings_.rule.high : *settings_.rule.low;
}

void AlarmWatch::tell(const AlarmEvent& event) {
  for (const Sink& sink : sinks_) sink(event);
}

void AlarmWatch::reading(const std::string& function, const std::string& unit,
                         const AlarmSample& sample, const LocalTime& when) {
  follow_silence(sample, when);
  if (!settings_.rule.high && !settings_.rule.low) return;
  if (settings_.function.empty() && settings_.unit.empty()) {
    settings_.function = function;  // the command line's limits take the first reading's
    settings_.unit = unit;
  }
  if (function != settings_.function || unit != settings_.unit) return;
  follow_limits(sample, when);
}

void AlarmWatch::follow_silence(const AlarmSample& sample, const LocalTime& when) {
  const double silence = sample.seconds - last_seconds_;
  if (stale_.reading(sample.seconds)) {
    tell({false, "stale", stale_key_, std::round(silence), "s", settings_.stale, when, when});
  }
  last_reading_ = when;
  last_seconds_ = sample.seconds;
}

void AlarmWatch::follow_limits(const AlarmSample& sample, const LocalTime& when) {
  const ExcursionChange change = tracker_.add(sample);
  const std::string& unit = settings_.unit;
  if (change.ended) {
    tell({false, side_name(change.ended->side), excursion_key_, change.ended->extreme, unit,
          limit_of(change.ended->side), extreme_time_, when});
  }
  const std::optional<Excursion>& now = tracker_.current();
  if (now && now->start == sample.seconds) {
    start_time_ = extreme_time_ = when;
  } else if (now && now->extreme_time == sample.seconds) {
    extreme_time_ = when;
  }
  if (change.started) {
    ++excursions_;
    excursion_key_ = next_key_++;
    const ExcursionSide side = change.started->side;
    tell({true, side_name(side), excursion_key_, change.started->extreme, unit, limit_of(side),
          start_time_, when});
  }
}

void AlarmWatch::end_silence(double seconds, const LocalTime& now) {
  if (!stale_.stale()) return;
  tell({false, "stale", stale_key_, std::round(seconds - last_seconds_), "s", settings_.stale, now,
        now});
  restart_silence();
}

void AlarmWatch::tick(double seconds, const LocalTime& now) {
  if (!stale_.tick(seconds)) return;
  stale_key_ = next_key_++;
  tell({true, "stale", stale_key_, std::nan(""), "s", settings_.stale, last_reading_, now});
}

}  // namespace tarvo
