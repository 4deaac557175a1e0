#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "decode/rx_buffer.h"

namespace tarvo {

struct FoundFrame {
  std::span<const std::uint8_t> bytes;  // points into the buffer: read before compacting
  std::int32_t bytes_after;             // bytes received after the frame
};

// Tries every window of N held bytes, newest first, so a backlog of older frames
// is skipped. There is no state between calls: each call scans everything held.
template <std::size_t N, typename IsFrame>
std::optional<FoundFrame> find_newest_frame(const RxBuffer& rx, IsFrame is_frame) {
  const std::span<const std::uint8_t> held = rx.held();
  if (held.size() < N) return std::nullopt;
  for (std::size_t after = 0; after + N <= held.size(); ++after) {
    const auto window = held.subspan(held.size() - after - N).template first<N>();
    if (is_frame(window)) return FoundFrame{window, static_cast<std::int32_t>(after)};
  }
  return std::nullopt;
}

}  // namespace tarvo
