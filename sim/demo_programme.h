#pragma once

#include <string_view>

#include "decode/meter_model.h"
#include "scenario.h"

namespace tarvo::sim {

// The built-in demo, written in the scenario language: a drifting DC voltage, a
// range change through an overload, line noise, ohms in manual range, mains with
// its frequency, HOLD, REL (bench) and MAX/MIN, for either family.
std::string_view demo_scenario_text(MeterModel family);

// Each family's demo; its SimFamily row names it.
std::string_view bench_demo_text();
std::string_view compact_demo_text();

Scenario demo_scenario(MeterModel family);

}  // namespace tarvo::sim
