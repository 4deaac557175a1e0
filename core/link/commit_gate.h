#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "decode/current_reading.h"
#include "log/frame_figures.h"
#include "log/local_time.h"
#include "log/reading_log.h"
#include "log/recording_gate.h"

namespace tarvo {

// A reading on its way into the log, with what makes its record.
struct PendingReading {
  CurrentReading reading;
  LocalTime time;
  FrameFigures frames;
  RecordMarks marks;
};

// Conditional recording: the readings pass the gate before they reach the
// log. While armed they are held (the newest `pretrigger` of them); at the
// trigger they go into the log in order, then every reading until the stop.
// The display stays live all along, as it follows the decoder, not the log.
class CommitGate {
 public:
  using Triggered = std::function<void()>;

  CommitGate(GateRule rule, std::string decimal_separator, Triggered triggered);

  void arm(const LocalTime& now);
  // The readings to commit now, oldest first.
  std::vector<PendingReading> admit(PendingReading pending);
  GateState state() const { return gate_.state(); }
  const GateRule& rule() const { return rule_; }

 private:
  GateRule rule_;
  std::string separator_;
  Triggered triggered_;
  RecordingGate<PendingReading> gate_;
};

// "rises:2.5", "at:07:30": a condition as the command line and the session write it.
std::string condition_text(const TriggerCondition& c);

}  // namespace tarvo
