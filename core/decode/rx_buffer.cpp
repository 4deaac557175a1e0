#include "decode/rx_buffer.h"

#include <algorithm>

namespace tarvo {

void RxBuffer::append(std::span<const std::uint8_t> data) {
  if (count_ == 0) start_ = 0;
  if (data.size() >= static_cast<std::size_t>(kCapacity)) {
    data = data.last(kCapacity);
    start_ = 0;
    count_ = 0;
  }
  const auto n = static_cast<std::int32_t>(data.size());
  const std::int32_t overflow = start_ + count_ + n - kCapacity;
  if (overflow > 0) keep_tail(count_ - overflow);
  std::copy(data.begin(), data.end(), bytes_.begin() + start_ + count_);
  count_ += n;
}

void RxBuffer::keep_tail(std::int32_t tail) {
  tail = std::clamp(tail, 0, count_);
  const auto first = bytes_.begin() + start_ + count_ - tail;
  std::copy(first, first + tail, bytes_.begin());  // source never lies below destination
  start_ = 0;
  count_ = tail;
}

void RxBuffer::assign(std::span<const std::uint8_t> data) {
  data = data.first(std::min<std::size_t>(data.size(), kCapacity));
  std::copy(data.begin(), data.end(), bytes_.begin());
  start_ = 0;
  count_ = static_cast<std::int32_t>(data.size());
}

void RxBuffer::hold(std::int32_t start, std::int32_t count) {
  start_ = std::clamp(start, 0, kCapacity);
  count_ = std::clamp(count, 0, kCapacity - start_);
}

}  // namespace tarvo
