#include "line_schedule.h"

#include <algorithm>

namespace tarvo::sim {

namespace {

// A caller that wakes up a little late should not make the meter drift, but
// after a real stall the meter carries on from now instead of catching up in a
// burst no serial line could carry.
constexpr Duration kCatchUpLimit = std::chrono::milliseconds(10);

// Emissions that start on one call of due(); only a long stall gets near it.
constexpr int kMaxEmissionsPerCall = 10000;

}  // namespace

LineSchedule::LineSchedule(ScenarioPlayer player, Clock::time_point start, Duration byte_time)
    : player_(std::move(player)), byte_time_(byte_time), start_(start) {}

Clock::time_point LineSchedule::planned_next_start() const {
  const auto line_time = byte_time_ * static_cast<Duration::rep>(current_.bytes.size());
  return start_ + std::max(current_.slot, line_time);
}

void LineSchedule::advance(Clock::time_point now) {
  for (int i = 0; i < kMaxEmissionsPerCall; ++i) {
    if (state_ != Emission::Then::Continue || sent_ < current_.bytes.size()) return;
    const Clock::time_point next_start = planned_next_start();
    if (now < next_start) return;
    start_ = std::max(next_start, now - kCatchUpLimit);
    current_ = player_.next();
    sent_ = 0;
    state_ = current_.then;
  }
}

std::span<const std::uint8_t> LineSchedule::due(Clock::time_point now) {
  advance(now);
  if (now < start_) return {};
  const auto elapsed = static_cast<std::size_t>((now - start_) / byte_time_) + 1;
  const std::size_t count = std::min(elapsed, current_.bytes.size());
  if (count <= sent_) return {};
  return std::span(current_.bytes).subspan(sent_, count - sent_);
}

void LineSchedule::sent(std::size_t count) {
  sent_ = std::min(sent_ + count, current_.bytes.size());
}

Clock::time_point LineSchedule::next_deadline() const {
  if (state_ != Emission::Then::Continue) return Clock::time_point::max();
  if (sent_ < current_.bytes.size()) {
    return start_ + byte_time_ * static_cast<Duration::rep>(sent_);
  }
  return planned_next_start();
}

}  // namespace tarvo::sim
