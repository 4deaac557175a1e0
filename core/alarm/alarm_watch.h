#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "log/excursion.h"
#include "log/local_time.h"

namespace tarvo {

// The alarms of a run: a high and a low limit with their hysteresis and
// minimum duration for one function and unit, and a silence that lasts too long.
struct AlarmSettings {
  std::string function, unit;  // empty: those of the next reading
  ExcursionRule rule;
  double stale = 0;  // seconds without a reading; 0: no such alarm

  bool any() const { return rule.high || rule.low || stale > 0; }
};

// One start or end of an alarm, as the session file, the notices, the
// broker and the user's command are told of it.
struct AlarmEvent {
  bool start = true;
  std::string kind;       // "high", "low" or "stale"
  std::uint64_t key = 0;  // the same for an alarm's start and end
  // The farthest value so far, and at the end the extreme (+-infinity for an
  // overload); for a silence, how long it lasted (NaN at its start).
  double value = 0;
  std::string unit;
  double limit = 0;  // the limit crossed; for stale, the seconds that make the alarm
  LocalTime when;    // start: the first reading outside; end: when the extreme was read
  LocalTime now;     // when it was noticed
};

// A number as the files and messages write it: shortest, with a ".";
// an overload as "OL" or "-OL".
std::string alarm_number(double value);

// Turns the readings into alarm events: one start when an excursion has
// lasted the minimum duration, one end when it is over; one start when no
// reading came for the stale time, one end with the next reading. Counts
// the excursions since the settings were made.
class AlarmWatch {
 public:
  using Sink = std::function<void(const AlarmEvent&)>;

  void set(const AlarmSettings& settings);
  const AlarmSettings& settings() const { return settings_; }
  void add_sink(Sink sink) { sinks_.push_back(std::move(sink)); }

  // A committed reading of that function and unit, at `seconds` on a steady
  // clock and `when` in local time.
  void reading(const std::string& function, const std::string& unit, const AlarmSample& sample,
               const LocalTime& when);
  // The clock moved on without a reading.
  void tick(double seconds, const LocalTime& now);
  // A new acquisition: the silence counts from its first reading, not from
  // the last reading of the one before.
  void restart_silence() { stale_ = StaleWatch(settings_.stale); }
  // The acquisition ended: a silence that was an alarm ends now.
  void end_silence(double seconds, const LocalTime& now);

  std::int64_t excursions() const { return excursions_; }
  // Whether an alarm is on now (for the grid's colour and the status bar).
  bool alarmed() const { return tracker_.alarmed() || stale_.stale(); }

 private:
  void tell(const AlarmEvent& event);
  double limit_of(ExcursionSide side) const;
  void follow_limits(const AlarmSample& sample, const LocalTime& when);
  void follow_silence(const AlarmSample& sample, const LocalTime& when);

  AlarmSettings settings_;
  ExcursionTracker tracker_;
  StaleWatch stale_{0};
  std::vector<Sink> sinks_;
  std::int64_t excursions_ = 0;
  std::uint64_t next_key_ = 1, excursion_key_ = 0, stale_key_ = 0;
  LocalTime start_time_, extreme_time_, last_reading_;
  double last_seconds_ = 0;
};

}  // namespace tarvo
