#pragma once

#include <nlohmann/json.hpp>

#include "decode/current_reading.h"
#include "log/typed_reading.h"

namespace tarvo::cli {

// The reading as the command-line tool prints it. The key order is fixed
// because scripts read it; later keys may only be appended.
nlohmann::ordered_json reading_json(bool decoded, const CurrentReading& r);

// Appends "value", "unit" (the number and unit as shown), "base_value" and
// "base_unit" (in V, A, Ω, F, Hz, % or dBm); a number is null when the display
// shows none, base_unit null for a unit without a known base.
void add_typed_keys(nlohmann::ordered_json& j, const DisplayValue& main);

// One compact JSON line, without a line break.
std::string json_line(const nlohmann::ordered_json& j);

}  // namespace tarvo::cli
