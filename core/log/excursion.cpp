#include "log/excursion.h"

#include <limits>

namespace tarvo {
namespace {

double number_of(const AlarmSample& s) {
  if (s.value) return *s.value;
  return s.overload > 0 ? std::numeric_limits<double>::infinity()
                        : -std::numeric_limits<double>::infinity();
}

bool farther(ExcursionSide side, double a, double b) {
  return side == ExcursionSide::High ? a > b : a < b;
}

}  // namespace

std::optional<ExcursionSide> ExcursionTracker::outside(double value) const {
  if (rule_.high && value > *rule_.high) return ExcursionSide::High;
  if (rule_.low && value < *rule_.low) return ExcursionSide::Low;
  return std::nullopt;
}

bool ExcursionTracker::back_inside(ExcursionSide side, double value) const {
  if (side == ExcursionSide::High) return value <= *rule_.high - rule_.hysteresis;
  return value >= *rule_.low + rule_.hysteresis;
}

void ExcursionTracker::widen(double value, double seconds) {
  if (farther(current_->side, value, current_->extreme)) {
    current_->extreme = value;
    current_->extreme_time = seconds;
  }
}

void ExcursionTracker::begin(ExcursionSide side, const AlarmSample& sample, double value,
                             ExcursionChange& change) {
  current_ = Excursion{side, sample.seconds, 0, value, sample.seconds};
  alarmed_ = rule_.min_duration <= 0;
  if (alarmed_) change.started = current_;
}

ExcursionChange ExcursionTracker::add(const AlarmSample& sample) {
  ExcursionChange change;
  if (!sample.value && sample.overload == 0) return change;
  const double value = number_of(sample);
  if (current_ && !back_inside(current_->side, value)) {
    // Still out, or in the hysteresis band, or even across at the other
    // limit: the excursion has not ended, so it stays one excursion.
    if (outside(value) == current_->side) widen(value, sample.seconds);
    if (!alarmed_ && sample.seconds - current_->start >= rule_.min_duration) {
      alarmed_ = true;
      change.started = current_;
    }
    return change;
  }
  if (current_) {
    current_->end = sample.seconds;
    if (alarmed_) change.ended = current_;  // a shorter one was never an alarm
    current_.reset();
    alarmed_ = false;
  }
  if (const auto side = outside(value)) begin(*side, sample, value, change);
  return change;
}

bool StaleWatch::reading(double seconds) {
  last_ = seconds;
  const bool ended = stale_;
  stale_ = false;
  return ended;
}

bool StaleWatch::tick(double seconds) {
  if (stale_ || !last_ || limit_ <= 0) return false;
  if (seconds - *last_ < limit_) return false;
  stale_ = true;
  return true;
}

}  // namespace tarvo
