#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "decode/current_reading.h"
#include "decode/decode_settings.h"
#include "decode/frame_shapes.h"
#include "decode/meter_model.h"
#include "decode/rx_buffer.h"

namespace tarvo {

// One meter family: everything the decoders, the link, the views and the
// files ask of a family is a field here. A family is added by adding its row
// here and its row in the simulated meter's table (sim/sim_family.cpp), which
// holds what only the simulator plays; nothing else names a family.
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
  // Reset re-initialises this family's panel: every legend of the LCD replica
  // lit and the needle back on the 20 arc. Otherwise the panel keeps its last
  // reading.
  bool reset_relights_panel;
  // One frame of every shape the decoder tells apart: the grid sizes its
  // columns by the texts they decode to.
  void (*frame_shapes)(const FrameVisitor& visit);
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
