#pragma once

#include <cstdint>
#include <span>

#include "decode/current_reading.h"
#include "decode/decode_settings.h"
#include "decode/rx_buffer.h"

namespace tarvo {

inline constexpr int kBenchFrameSize = 14;

// True when the 14 bytes have the shape of a bench frame: header 101xxxxx,
// flag bytes below 0x80, digit bytes below 10 (byte 12 is not tested).
bool is_bench_frame(std::span<const std::uint8_t, kBenchFrameSize> f);

// Finds the newest valid bench frame among the held bytes of rx, decodes it into
// reading and keeps only the bytes that followed it. False (rx untouched, the
// texts of reading emptied) when no complete valid frame is waiting.
bool decode_bench_frame(RxBuffer& rx, CurrentReading& reading, const DecodeSettings& settings);

}  // namespace tarvo
