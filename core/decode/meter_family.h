#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "decode/current_reading.h"
#include "decode/decode_settings.h"
#include "decode/meter_model.h"
#include "decode/rx_buffer.h"

namespace tarvo {

// One meter family: everything the rest of the program asks of a family is
// a field here, so that a family is added by adding a row.
struct MeterFamily {
  MeterModel model;
  // On command lines and in scenario files: "bench", "compact".
  std::string_view name;
  std::int32_t frame_size;
  bool has_sub_display;
  // Whether frame_size bytes are one of this family's frames.
  bool (*is_frame)(std::span<const std::uint8_t> bytes);
  // Finds the newest valid frame in the buffer and decodes it into reading.
  bool (*decode)(RxBuffer& rx, CurrentReading& reading, const DecodeSettings& settings);
};

// The families in the order a probe tries them. The bench family comes first:
// a run of bench frames also holds the compact shape, but a compact stream
// never holds the bench one.
std::span<const MeterFamily> meter_families();

// The row of a family; nullptr for MeterModel::None.
const MeterFamily* family_of(MeterModel model);

// The family a name names, exactly as written; nullopt for any other text.
std::optional<MeterModel> family_named(std::string_view name);

// The names for a message: "bench or compact".
std::string family_names();

// What a --family option that names no family is told (the program and
// tarvo-cli say the same); nullopt for a family's name.
std::optional<std::string> family_option_error(std::string_view text);

}  // namespace tarvo
