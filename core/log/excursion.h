#pragma once

#include <optional>
#include <vector>

namespace tarvo {

// One reading as the alarms see it: its time on a steady clock, its number in
// the unit shown, or the overload's sign (+1 for OL, -1 for -OL) when it has none.
struct AlarmSample {
  double seconds = 0;
  std::optional<double> value;
  int overload = 0;
};

enum class ExcursionSide { High, Low };

// How far out a reading must go, for how long, and how far it must come back.
// A value exactly at a limit is inside it.
struct ExcursionRule {
  std::optional<double> high, low;
  double hysteresis = 0;    // the value must come back past the limit by this much
  double min_duration = 0;  // seconds; a shorter excursion is no alarm
};

struct Excursion {
  ExcursionSide side = ExcursionSide::High;
  double start = 0;    // the first reading outside
  double end = 0;      // the first reading back inside (0 while it lasts)
  double extreme = 0;  // the farthest value; +-infinity for an overload
  double extreme_time = 0;
};

// What a reading did: it may end one excursion and start the next (a jump
// from above the high limit to below the low one does both).
struct ExcursionChange {
  std::optional<Excursion> ended;
  std::optional<Excursion> started;
};

// Follows the readings of one function and unit and turns the readings
// outside its limits into excursions: one alarm when an excursion has lasted
// the minimum duration, one end when the value is back past the limit by the
// hysteresis. Noise around a limit therefore makes one excursion, not one
// alarm a reading. A reading with no number and no overload (a blank display)
// neither starts nor ends one.
class ExcursionTracker {
 public:
  explicit ExcursionTracker(ExcursionRule rule = {}) : rule_(rule) {}

  ExcursionChange add(const AlarmSample& sample);
  // The excursion in progress, reported or not yet.
  const std::optional<Excursion>& current() const { return current_; }
  // Whether the excursion in progress has been reported as started.
  bool alarmed() const { return alarmed_; }
  const ExcursionRule& rule() const { return rule_; }

 private:
  std::optional<ExcursionSide> outside(double value) const;
  bool back_inside(ExcursionSide side, double value) const;
  void widen(double value, double seconds);
  void begin(ExcursionSide side, const AlarmSample& sample, double value, ExcursionChange& change);

  ExcursionRule rule_;
  std::optional<Excursion> current_;
  bool alarmed_ = false;
};

// No reading for too long: the meter was lost, its cable pulled, or it fell
// asleep. tick() says true once when the silence reaches the limit;
// reading() says true when a reading ends such a silence.
class StaleWatch {
 public:
  explicit StaleWatch(double limit_seconds) : limit_(limit_seconds) {}

  bool reading(double seconds);
  bool tick(double seconds);
  bool stale() const { return stale_; }
  // When the last reading came, or nullopt before the first.
  std::optional<double> last_reading() const { return last_; }

 private:
  double limit_;
  std::optional<double> last_;
  bool stale_ = false;
};

}  // namespace tarvo
