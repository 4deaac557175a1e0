#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tarvo {

// Bytes received from the active port, oldest first. The held bytes are
// bytes[RxStart .. RxStart + RxCount - 1]; every writer sets RxStart to 0.
class RxBuffer {
 public:
  static constexpr std::int32_t kCapacity = 19204;

  std::span<const std::uint8_t> held() const {
    return {bytes_.data() + RxStart, static_cast<std::size_t>(RxCount)};
  }
  std::int32_t RxStart = 0;
  std::int32_t RxCount = 0;

  // Appends bytes behind the held ones. A stream that never forms a frame would
  // run past the end of the buffer: the oldest bytes are dropped instead, so the
  // newest (where the next frame will be) are always kept.
  void append(std::span<const std::uint8_t> data);

  // After a decoded frame: keeps only the last `tail` held bytes, moved to the front.
  void keep_tail(std::int32_t tail);

  // Reset: the indices go to 0, the contents stay.
  void clear() { RxStart = RxCount = 0; }

  // Replaces the held bytes by `data` from index 0 (the test-frame injection).
  void assign(std::span<const std::uint8_t> data);

  // Raw storage, for tests and diagnostics.
  const std::array<std::uint8_t, kCapacity>& storage() const { return bytes_; }

 private:
  std::array<std::uint8_t, kCapacity> bytes_{};
};

}  // namespace tarvo
