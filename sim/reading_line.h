#pragma once

#include <span>
#include <string_view>

#include "decode/meter_model.h"
#include "scenario.h"

namespace tarvo::sim {

// A reading line, such as
//   DCV AUTO 50.000 V 12.300..12.400 noise 0.002 HOLD sub FRE 9.9999 KHz 0.0600 for 5s
// Throws std::invalid_argument naming what is wrong.
ReadingStep parse_reading_line(std::span<const std::string_view> words, MeterModel family,
                               Duration interval);

}  // namespace tarvo::sim
