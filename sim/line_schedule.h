#pragma once

#include <chrono>
#include <cstdint>
#include <span>

#include "scenario_player.h"

namespace tarvo::sim {

using Clock = std::chrono::steady_clock;

// A character on the meter's line: start bit, 8 data bits, parity, stop bit at
// 2400 baud, so a 14-byte frame takes about 64 ms.
inline constexpr Duration kByteTime{11 * 1'000'000 / 2400};

// Paces the player's output as the serial line would carry it: one byte every
// byte time, each emission starting its slot after the previous one (or when the
// line is free, if later). Pure bookkeeping; the caller does the writing.
class LineSchedule {
 public:
  LineSchedule(ScenarioPlayer player, Clock::time_point start, Duration byte_time = kByteTime);

  // Bytes whose time has come and that have not been marked sent, oldest first.
  // Valid until the next call of any member.
  std::span<const std::uint8_t> due(Clock::time_point now);

  // The first `count` bytes of the last due() went out (or were lost).
  void sent(std::size_t count);

  // When due() will have something more to give; time_point::max() once the
  // scenario has stopped or hung up.
  Clock::time_point next_deadline() const;

  // Continue while the scenario runs; Stop or HangUp once it reached such a step.
  Emission::Then state() const { return state_; }

 private:
  void advance(Clock::time_point now);
  Clock::time_point planned_next_start() const;

  ScenarioPlayer player_;
  Duration byte_time_;
  Emission current_;
  Clock::time_point start_;
  std::size_t sent_ = 0;
  Emission::Then state_ = Emission::Then::Continue;
};

}  // namespace tarvo::sim
