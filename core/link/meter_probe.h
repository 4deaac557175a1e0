#pragma once

#include <cstdint>
#include <span>

#include "decode/meter_model.h"
#include "link/serial_ports.h"

namespace tarvo {

// A probe reads at most this many bytes from a port.
inline constexpr std::int32_t kProbeBlockSize = 12000;

// Which family's frame shape the bytes hold, each family looked for over the
// whole block in the order of meter_families().
MeterModel probe_bytes(std::span<const std::uint8_t> bytes);

// Reads what the port has collected (the bytes are used up) and probes them.
MeterModel probe_port(SerialPorts& ports, std::int32_t port);

}  // namespace tarvo
