#pragma once

#include <cstdint>
#include <span>

#include "decode/current_reading.h"
#include "decode/decode_settings.h"
#include "decode/rx_buffer.h"

namespace tarvo {

inline constexpr int kCompactFrameSize = 8;

// True when the 8 bytes have the shape of a compact frame: header 101xxxxx,
// flag bytes below 0x80, every digit byte below 10.
bool is_compact_frame(std::span<const std::uint8_t, kCompactFrameSize> f);

// As decode_bench_frame, for the compact family: main display only; the sub
// display flags keep whatever the bench decoder last gave them.
bool decode_compact_frame(RxBuffer& rx, CurrentReading& reading, const DecodeSettings& settings);

}  // namespace tarvo
