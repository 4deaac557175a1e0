#include "link/rx_buffer.h"

#include <algorithm>

namespace tarvo {

void RxBuffer::append(std::span<const std::uint8_t> data) {
  if (RxCount == 0) RxStart = 0;
  if (data.size() >= static_cast<std::size_t>(kCapacity)) {
    data = data.last(kCapacity);
    RxStart = 0;
    RxCount = 0;
  }
  const auto n = static_cast<std::int32_t>(data.size());
  const std::int32_t overflow = RxStart + RxCount + n - kCapacity;
  if (overflow > 0) keep_tail(RxCount - overflow);
  std::copy(data.begin(), data.end(), bytes_.begin() + RxStart + RxCount);
  RxCount += n;
}

void RxBuffer::keep_tail(std::int32_t tail) {
  tail = std::clamp(tail, 0, RxCount);
  const auto first = bytes_.begin() + RxStart + RxCount - tail;
  std::copy(first, first + tail, bytes_.begin());  // source never lies below destination
  RxStart = 0;
  RxCount = tail;
}

void RxBuffer::assign(std::span<const std::uint8_t> data) {
  data = data.first(std::min<std::size_t>(data.size(), kCapacity));
  std::copy(data.begin(), data.end(), bytes_.begin());
  RxStart = 0;
  RxCount = static_cast<std::int32_t>(data.size());
}

}  // namespace tarvo
