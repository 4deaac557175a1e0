#include "link/meter_probe.h"

#include <array>

#include "decode/meter_family.h"

namespace tarvo {
namespace {

bool holds_frame(std::span<const std::uint8_t> bytes, const MeterFamily& family) {
  const auto size = static_cast<std::size_t>(family.frame_size);
  for (std::size_t k = 0; k + size <= bytes.size(); ++k) {
    if (family.is_frame(bytes.subspan(k, size))) return true;
  }
  return false;
}

}  // namespace

MeterModel probe_bytes(std::span<const std::uint8_t> bytes) {
  for (const MeterFamily& family : meter_families()) {
    if (holds_frame(bytes, family)) return family.model;
  }
  return MeterModel::None;
}

MeterModel probe_port(SerialPorts& ports, std::int32_t port) {
  std::array<std::uint8_t, kProbeBlockSize> block;
  const std::int32_t n = ports.read_available(port, block);
  return probe_bytes(std::span(block).first(static_cast<std::size_t>(n)));
}

}  // namespace tarvo
