#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace tarvo {

using FrameVisitor = std::function<void(std::span<const std::uint8_t> frame)>;

// One frame for every combination of range code, function code, sub display
// mode and ranging the family's decoder tells apart, with every digit 8 and
// both signs set: what the grid measures its columns by. Undefined codes are
// included; the decoder turns down what it cannot show.
void bench_frame_shapes(const FrameVisitor& visit);
void compact_frame_shapes(const FrameVisitor& visit);

}  // namespace tarvo
