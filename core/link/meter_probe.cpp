#include "link/meter_probe.h"

#include <array>

#include "decode/bench_frame.h"
#include "decode/compact_frame.h"

namespace tarvo {
namespace {

template <std::size_t N, typename IsFrame>
bool holds_frame(std::span<const std::uint8_t> bytes, IsFrame is_frame) {
  for (std::size_t k = 0; k + N <= bytes.size(); ++k) {
    if (is_frame(bytes.subspan(k).template first<N>())) return true;
  }
  return false;
}

}  // namespace

MeterModel probe_bytes(std::span<const std::uint8_t> bytes) {
  if (holds_frame<kBenchFrameSize>(bytes, is_bench_frame)) return MeterModel::ModelTarvo;
  if (holds_frame<kCompactFrameSize>(bytes, is_compact_frame)) return MeterModel::ModelNoxel;
  return MeterModel::None;
}

MeterModel probe_port(SerialPorts& ports, std::int32_t port) {
  std::array<std::uint8_t, kProbeBlockSize> block;
  const std::int32_t n = ports.read_available(port, block);
  return probe_bytes(std::span(block).first(static_cast<std::size_t>(n)));
}

}  // namespace tarvo
