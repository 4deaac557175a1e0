#include "scenario_player.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace tarvo::sim {

namespace {

constexpr std::uint32_t kMaxCount = 99999;

long frames_of(const ReadingStep& step) {
  if (step.duration <= Duration::zero() || step.interval <= Duration::zero()) return 1;
  const double frames =
      static_cast<double>(step.duration.count()) / static_cast<double>(step.interval.count());
  return std::max(1L, std::lround(frames));
}

// Junk never contains a header (0xA0-0xBF), a flag byte or a digit (both below
// 0x80): it can neither start a frame nor fill any of the bytes a decoder checks.
std::uint8_t junk_byte(std::uint64_t random) {
  const auto pick = static_cast<std::uint8_t>(random % 96);
  return static_cast<std::uint8_t>(pick < 32 ? 0x80 + pick : 0xC0 + (pick - 32));
}

DisplayValue shown(const PlannedValue& v, double along, double noise) {
  if (v.overload) return DisplayValue{0, v.negative_overload, true};
  const double value = v.from + (v.to - v.from) * along + v.noise * noise;
  const double scaled = std::round(std::abs(value) * std::pow(10.0, v.decimals));
  const auto count = static_cast<std::uint32_t>(std::min<double>(scaled, kMaxCount));
  return DisplayValue{count, value < 0 && count > 0, false};
}

}  // namespace

ScenarioPlayer::ScenarioPlayer(Scenario scenario, std::uint64_t seed)
    : scenario_(std::move(scenario)), random_state_(seed) {}

Emission ScenarioPlayer::next() {
  if (final_) return *final_;
  if (scenario_.steps.empty()) return Emission{{}, Duration::zero(), Emission::Then::Stop};
  const Step& step = scenario_.steps[step_];
  Emission e = std::visit([this](const auto& s) { return play(s); }, step);
  const auto* reading = std::get_if<ReadingStep>(&step);
  if (reading == nullptr || frame_ >= frames_of(*reading)) {
    frame_ = 0;
    step_ = (step_ + 1) % scenario_.steps.size();
  }
  if (e.then != Emission::Then::Continue) final_ = Emission{{}, Duration::zero(), e.then};
  return e;
}

// splitmix64: small, and the same sequence on every platform.
std::uint64_t ScenarioPlayer::random() {
  std::uint64_t z = (random_state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

double ScenarioPlayer::noise() {
  return static_cast<double>(random() >> 11) / 4503599627370496.0 - 1.0;  // 53 bits / 2^52
}

Emission ScenarioPlayer::play(const ReadingStep& step) {
  const long frames = frames_of(step);
  const double along =
      frames > 1 ? static_cast<double>(frame_) / static_cast<double>(frames - 1) : 0.0;
  MeterDisplay display = step.display;
  display.main = shown(step.main, along, noise());
  display.sub_value = shown(step.sub, along, noise());
  ++frame_;
  last_frame_ = encode_frame(display);
  return Emission{last_frame_, step.interval};
}

Emission ScenarioPlayer::play(const PartialStep& step) {
  const auto count = std::min(last_frame_.size(), static_cast<std::size_t>(step.count));
  return Emission{{last_frame_.begin(), last_frame_.begin() + static_cast<long>(count)},
                  step.interval};
}

Emission ScenarioPlayer::play(const JunkStep& step) {
  Emission e;
  for (int i = 0; i < step.count; ++i) {
    e.bytes.push_back(junk_byte(random()));
  }
  return e;
}

Emission ScenarioPlayer::play(const SilenceStep& step) {
  return Emission{{}, step.duration};
}

Emission ScenarioPlayer::play(const RawStep& step) {
  return Emission{step.bytes, Duration::zero()};
}

Emission ScenarioPlayer::play(const StopStep&) {
  return Emission{{}, Duration::zero(), Emission::Then::Stop};
}

Emission ScenarioPlayer::play(const HangUpStep&) {
  return Emission{{}, Duration::zero(), Emission::Then::HangUp};
}

}  // namespace tarvo::sim
