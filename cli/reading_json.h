#pragma once

#include <nlohmann/json.hpp>

#include "decode/current_reading.h"

namespace tarvo::cli {

// The reading as the command-line tool prints it. The key order is fixed
// because scripts read it; later keys may only be appended.
nlohmann::ordered_json reading_json(bool decoded, const CurrentReading& r);

// One compact JSON line, without a line break.
std::string json_line(const nlohmann::ordered_json& j);

}  // namespace tarvo::cli
