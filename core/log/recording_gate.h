#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "log/trigger_rule.h"

namespace tarvo {

// What conditional recording waits for and when it ends.
struct GateRule {
  TriggerCondition start;
  std::size_t pretrigger = 0;  // readings kept from before the trigger
  std::optional<TriggerCondition> stop_when;
  StopAfter stop_after;  // counted from the trigger, the triggering reading included
};

enum class GateState { Armed, Recording, Done };

// Holds the readings back while armed, keeping the newest `pretrigger` of
// them; when the condition holds, lets them through in order with the one
// that triggered, then every reading until the stop. The items are whatever
// the caller commits (a reading with its time and frames); the gate never
// looks into them, only at the sample that goes with each.
template <typename Item>
class RecordingGate {
 public:
  explicit RecordingGate(GateRule rule) : rule_(rule), start_(rule.start) {
    if (rule.stop_when) stop_.emplace(*rule.stop_when);
  }

  void arm(double seconds, std::int32_t time_of_day) {
    start_.arm(seconds, time_of_day);
    held_.clear();
    state_ = GateState::Armed;
  }

  // The items to commit now, oldest first: none while armed, the held ones
  // and this one at the trigger, this one while recording, none when done.
  std::vector<Item> offer(Item item, const AlarmSample& sample, std::int32_t time_of_day) {
    std::vector<Item> out;
    if (state_ == GateState::Done) return out;
    if (state_ == GateState::Armed) {
      if (!start_.reading(sample)) {
        held_.push_back(std::move(item));
        if (held_.size() > rule_.pretrigger) held_.pop_front();
        return out;
      }
      state_ = GateState::Recording;
      triggered_at_ = sample.seconds;
      if (stop_) stop_->arm(sample.seconds, time_of_day);
      out.assign(std::make_move_iterator(held_.begin()), std::make_move_iterator(held_.end()));
      held_.clear();
      just_triggered_ = true;
    } else {
      just_triggered_ = false;
    }
    out.push_back(std::move(item));
    ++recorded_;
    if (ends_with(sample)) state_ = GateState::Done;
    return out;
  }

  GateState state() const { return state_; }
  // Whether the last offer was the trigger.
  bool just_triggered() const { return just_triggered_; }
  std::size_t held() const { return held_.size(); }

 private:
  bool ends_with(const AlarmSample& sample) {
    const bool by_condition = stop_ && !just_triggered_ && stop_->reading(sample);
    if (stop_ && just_triggered_) stop_->reading(sample);  // its level's side, for a crossing
    const bool by_count = rule_.stop_after.readings > 0 && recorded_ >= rule_.stop_after.readings;
    const bool by_time =
        rule_.stop_after.seconds > 0 && sample.seconds - triggered_at_ >= rule_.stop_after.seconds;
    return by_condition || by_count || by_time;
  }

  GateRule rule_;
  TriggerWatch start_;
  std::optional<TriggerWatch> stop_;
  std::deque<Item> held_;
  GateState state_ = GateState::Armed;
  double triggered_at_ = 0;
  std::int64_t recorded_ = 0;
  bool just_triggered_ = false;
};

}  // namespace tarvo
