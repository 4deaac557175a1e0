#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "log/excursion.h"

namespace tarvo {

// When conditional recording starts or stops:
//   rises:LEVEL     the value crosses LEVEL upwards (from below it to at or above it)
//   falls:LEVEL     the value crosses LEVEL downwards (from above it to at or below it)
//   at:HH:MM[:SS]   the clock passes that time of day (the next one after arming)
// LEVEL is a number with a "." in the unit the meter shows; an overload is
// beyond every level in its direction.
struct TriggerCondition {
  enum class Kind { Rises, Falls, At };
  Kind kind = Kind::Rises;
  double level = 0;
  std::int32_t time_of_day = 0;  // seconds after midnight, for At
};

// How conditional recording stops besides a condition: after a number of
// readings ("500") or a duration ("90s", "15m", "2h").
struct StopAfter {
  std::int64_t readings = 0;  // 0: not by count
  double seconds = 0;         // 0: not by time
};

// The condition, or why the text is none ("" on success).
std::optional<TriggerCondition> parse_trigger(std::string_view text, std::string& why);
std::optional<StopAfter> parse_stop_after(std::string_view text, std::string& why);

// Watches the readings (and the clock) for one condition. A level condition
// needs a crossing: a value already past the level when armed does not fire
// until it has come back and crossed again.
class TriggerWatch {
 public:
  explicit TriggerWatch(TriggerCondition condition) : condition_(condition) {}

  // Armed at `seconds` on the steady clock, when the local time of day was
  // `time_of_day` seconds after midnight.
  void arm(double seconds, std::int32_t time_of_day);
  // Whether this reading fulfils the condition.
  bool reading(const AlarmSample& sample);
  const TriggerCondition& condition() const { return condition_; }

 private:
  TriggerCondition condition_;
  std::optional<double> previous_;
  double due_ = 0;  // for At: the steady-clock second the time of day comes
};

}  // namespace tarvo
