#include "log/limits.h"

#include "log/reading_value.h"

namespace tarvo {

LimitBreach breach_of(const Limits& limits, const real_Record& record,
                      std::string_view decimal_separator) {
  // A typed test frame is no reading of the meter: it breaks no limit.
  if (record.TestFrame || !limits.any() || !(run_key_of(record) == limits.key)) {
    return LimitBreach::None;
  }
  if (is_overload(record)) {
    const LimitBreach side = overload_sign(record) > 0 ? LimitBreach::High : LimitBreach::Low;
    return (side == LimitBreach::High ? limits.high : limits.low) ? side : LimitBreach::None;
  }
  const std::optional<double> value = main_value(record, decimal_separator);
  if (!value) return LimitBreach::None;
  if (limits.high && *value > *limits.high) return LimitBreach::High;
  if (limits.low && *value < *limits.low) return LimitBreach::Low;
  return LimitBreach::None;
}

std::string_view breach_name(LimitBreach breach) {
  switch (breach) {
    case LimitBreach::High:
      return "high";
    case LimitBreach::Low:
      return "low";
    case LimitBreach::None:
      break;
  }
  return "";
}

void LimitWatch::set_limits(const Limits& limits) {
  limits_ = limits;
  breaches_ = 0;
  last_ = LimitBreach::None;
}

void LimitWatch::set_limits_for_next(std::optional<double> high, std::optional<double> low) {
  set_limits({{}, high, low});
  key_from_next_ = limits_.any();
}

void LimitWatch::reading_committed(const real_Record& record) {
  if (record.TestFrame) {
    last_ = LimitBreach::None;
    return;
  }
  if (key_from_next_) {
    limits_.key = run_key_of(record);
    key_from_next_ = false;
  }
  last_ = breach_of(limits_, record, separator_);
  if (last_ == LimitBreach::None) return;
  ++breaches_;
  for (const Sink& sink : sinks_) sink(record, last_);
  if (alarm_) alarm_(record, last_);
}

}  // namespace tarvo
