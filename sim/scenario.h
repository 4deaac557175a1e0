#pragma once

#include <chrono>
#include <cstdint>
#include <variant>
#include <vector>

#include "frame_encoder.h"

namespace tarvo::sim {

using Duration = std::chrono::microseconds;

// A value the display shows during one step: fixed, or moving in a straight
// line from `from` to `to` over the step, with uniform noise of +/- `noise`.
struct PlannedValue {
  bool overload = false;  // "OL"; `negative_overload` adds the minus
  bool negative_overload = false;
  double from = 0;
  double to = 0;
  double noise = 0;
  int decimals = 0;  // of the range the value is shown in
};

// Frames of one display state for `duration` (a single frame when zero), one
// every `interval`.
struct ReadingStep {
  MeterDisplay display;  // everything but the two values
  PlannedValue main;
  PlannedValue sub;
  Duration duration{0};
  Duration interval{0};
};

struct JunkStep {
  int count = 0;
};

// The first `count` bytes of a frame of the latest reading, then the rest of
// the frame slot in silence.
struct PartialStep {
  int count = 0;
  Duration interval{0};
};

struct SilenceStep {
  Duration duration{0};
};

struct RawStep {
  std::vector<std::uint8_t> bytes;
};

// The meter stops sending but stays connected.
struct StopStep {};

// The meter goes away: the line is closed.
struct HangUpStep {};

using Step =
    std::variant<ReadingStep, JunkStep, PartialStep, SilenceStep, RawStep, StopStep, HangUpStep>;

// Played from the top again when the last step is done.
struct Scenario {
  std::vector<Step> steps;
};

}  // namespace tarvo::sim
