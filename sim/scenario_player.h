#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "scenario.h"

namespace tarvo::sim {

// One piece of the meter's output: bytes that go on the line back to back.
struct Emission {
  enum class Then : std::uint8_t { Continue, Stop, HangUp };

  std::vector<std::uint8_t> bytes;
  // From the start of these bytes to the start of the next emission; when the
  // bytes take longer on the line, the next one waits for them.
  Duration slot{0};
  Then then = Then::Continue;
};

// Turns a scenario into the meter's output, one emission at a time, without
// any notion of the clock. Noise comes from a seeded generator, so a given
// scenario and seed always give the same bytes.
class ScenarioPlayer {
 public:
  explicit ScenarioPlayer(Scenario scenario, std::uint64_t seed = 1);

  // Never runs dry: after the last step the scenario starts again, and after a
  // stop or a hang-up every further call repeats it.
  Emission next();

 private:
  Emission play(const ReadingStep& step);
  Emission play(const PartialStep& step);
  Emission play(const JunkStep& step);
  Emission play(const SilenceStep& step);
  Emission play(const RawStep& step);
  Emission play(const StopStep& step);
  Emission play(const HangUpStep& step);
  std::uint64_t random();
  double noise();  // uniform in [-1, 1)

  Scenario scenario_;
  std::size_t step_ = 0;
  long frame_ = 0;  // frames already sent by the current reading step
  std::vector<std::uint8_t> last_frame_;
  std::uint64_t random_state_;
  std::optional<Emission> final_;
};

}  // namespace tarvo::sim
