#pragma once

#include <cstdint>
#include <span>
#include <sstream>
#include <string_view>
#include <vector>

#include "decode/current_reading.h"
#include "decode/meter_family.h"
#include "decode/rx_buffer.h"

namespace tarvo::sim::test {

using Bytes = std::vector<std::uint8_t>;

// "A0 00 30" -> {0xA0, 0x00, 0x30}
inline Bytes hex(std::string_view text) {
  Bytes bytes;
  std::istringstream in{std::string(text)};
  unsigned value = 0;
  while (in >> std::hex >> value) bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}

// Appends `bytes` to `rx` and runs the family's decoder once, as the program's
// polling cycle does.
inline bool feed(RxBuffer& rx, CurrentReading& reading, MeterModel family,
                 std::span<const std::uint8_t> bytes) {
  rx.append(bytes);
  return family_of(family)->decode(rx, reading, {});
}

// The reading of one complete frame on its own.
inline CurrentReading decoded(const Bytes& frame, MeterModel family) {
  RxBuffer rx;
  CurrentReading reading;
  const bool ok = feed(rx, reading, family, frame);
  if (!ok) reading.Main_Range = "<no frame>";
  return reading;
}

}  // namespace tarvo::sim::test
