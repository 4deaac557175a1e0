#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "decode/meter_model.h"
#include "scenario.h"

namespace tarvo::sim {

// A mistake in a scenario; what() reads "line 7: ...".
class ScenarioError : public std::runtime_error {
 public:
  ScenarioError(int line, const std::string& message);
  int line() const { return line_; }

 private:
  int line_;
};

// The frame interval until an "every" line says otherwise: about three frames a
// second, as the meter sends them.
inline constexpr Duration kDefaultFrameInterval = std::chrono::milliseconds(300);

// Reads a scenario (the format is described in sim/SCENARIOS.md). `family` is the
// meter family until a "family" line changes it.
Scenario parse_scenario(std::string_view text, MeterModel family);

}  // namespace tarvo::sim
