#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "decode/meter_model.h"
#include "frame_encoder.h"
#include "meter_catalogue.h"

namespace tarvo::sim {

// What the simulated meter plays of a family, beside the family's own row in
// decode/meter_family.cpp: one row per family there, in the same order.
struct SimFamily {
  MeterModel model;
  // The family's frame layout, 14 or 8 bytes for everything the display shows.
  std::vector<std::uint8_t> (*encode)(const MeterDisplay& display);
  // The functions the meter offers, in function-code order.
  std::span<const MeterFunction> functions;
  // What its sub display can switch to besides mirroring the main function;
  // empty for a family without a sub display.
  std::span<const MeterFunction> sub_functions;
  bool has_relative;  // REL
  bool has_average;   // AVG beside MAX, MIN and MAX-MIN
  // The built-in demo, in the scenario language.
  std::string_view demo;
};

std::span<const SimFamily> sim_families();

// The row of a family; kDefaultFamily's for MeterModel::None.
const SimFamily& sim_family_of(MeterModel family);

}  // namespace tarvo::sim
