#include "link/commit_gate.h"

#include <cstdio>

#include "log/reading_value.h"

namespace tarvo {
namespace {

std::int32_t time_of_day(const LocalTime& t) {
  return t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace

std::string condition_text(const TriggerCondition& c) {
  if (c.kind == TriggerCondition::Kind::At) {
    char text[48];
    std::snprintf(text, sizeof text, "at:%02d:%02d:%02d", c.time_of_day / 3600,
                  c.time_of_day / 60 % 60, c.time_of_day % 60);
    return text;
  }
  char number[32];
  std::snprintf(number, sizeof number, "%.15g", c.level);
  return std::string(c.kind == TriggerCondition::Kind::Rises ? "rises:" : "falls:") + number;
}

CommitGate::CommitGate(GateRule rule, std::string decimal_separator, Triggered triggered)
    : rule_(rule),
      separator_(std::move(decimal_separator)),
      triggered_(std::move(triggered)),
      gate_(rule) {}

void CommitGate::arm(const LocalTime& now) {
  gate_.arm(epoch_seconds(now), time_of_day(now));
}

std::vector<PendingReading> CommitGate::admit(PendingReading pending) {
  const std::string& text = pending.reading.Main_No;
  const AlarmSample sample{epoch_seconds(pending.time), main_value(text, separator_),
                           overload_sign(text)};
  const std::int32_t tod = time_of_day(pending.time);
  std::vector<PendingReading> out = gate_.offer(std::move(pending), sample, tod);
  if (gate_.just_triggered() && triggered_) triggered_();
  return out;
}

}  // namespace tarvo
