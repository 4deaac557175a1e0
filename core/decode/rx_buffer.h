#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tarvo {

// Bytes received from the active port, oldest first. The held bytes are
// bytes[RxStart() .. RxStart() + RxCount() - 1], always inside the storage;
// only the functions below move them, and every writer sets RxStart to 0.
class RxBuffer {
 public:
  static constexpr std::int32_t kCapacity = 19204;

  std::span<const std::uint8_t> held() const {
    return {bytes_.data() + start_, static_cast<std::size_t>(count_)};
  }
  std::int32_t RxStart() const { return start_; }
  std::int32_t RxCount() const { return count_; }

  // Appends bytes behind the held ones. A stream that never forms a frame would
  // run past the end of the buffer: the oldest bytes are dropped instead, so the
  // newest (where the next frame will be) are always kept.
  void append(std::span<const std::uint8_t> data);

  // After a decoded frame: keeps only the last `tail` held bytes, moved to the front.
  void keep_tail(std::int32_t tail);

  // Reset: the indices go to 0, the contents stay.
  void clear() { start_ = count_ = 0; }

  // Narrows the held bytes to storage[start .. start + count - 1], clamped to
  // the storage, the bytes staying where they are. The decoders take held
  // bytes at any start; this is how a buffer with such a start is made.
  void hold(std::int32_t start, std::int32_t count);

  // Replaces the held bytes by `data` from index 0 (the test-frame injection).
  void assign(std::span<const std::uint8_t> data);

  // Raw storage, for tests and diagnostics.
  const std::array<std::uint8_t, kCapacity>& storage() const { return bytes_; }

 private:
  std::array<std::uint8_t, kCapacity> bytes_{};
  std::int32_t start_ = 0;
  std::int32_t count_ = 0;
};

}  // namespace tarvo
