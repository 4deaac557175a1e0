// Cost of one decoder call on the receive buffer. A full buffer with no valid
// frame is the worst case: every window is tested and nothing is compacted.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "decode/bench_frame.h"
#include "decode/compact_frame.h"
#include "decode/rx_buffer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Decoder = bool (*)(tarvo::RxBuffer&, tarvo::CurrentReading&, const tarvo::DecodeSettings&);

const Bytes kBenchFrame{0xA1, 0x01, 0x31, 0x20, 0x01, 0x02, 0x03,
                        0x04, 0x05, 0x00, 0x00, 0x00, 0x06, 0x00};
const Bytes kCompactFrame{0xA1, 0x15, 0x30, 0x00, 0x00, 0x04, 0x02, 0x05};

// Line noise that never contains a header byte, so every window fails at once.
Bytes noise(std::size_t size) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255 - 32);
  Bytes bytes(size);
  for (auto& b : bytes) {
    const int v = byte(random);
    b = static_cast<std::uint8_t>(v < 0xA0 ? v : v + 32);
  }
  return bytes;
}

// Frames broken in their last byte: the windows that start at a header pass
// every test but the final one.
Bytes near_misses(const Bytes& frame, std::size_t size) {
  Bytes bytes;
  while (bytes.size() < size) {
    for (std::size_t k = 0; k + 1 < frame.size(); ++k) bytes.push_back(frame[k]);
    bytes.push_back(0x0A);
  }
  bytes.resize(size);
  return bytes;
}

Bytes with_frame_at_end(Bytes bytes, const Bytes& frame) {
  std::copy(frame.begin(), frame.end(), bytes.end() - static_cast<long>(frame.size()));
  return bytes;
}

// One second of a meter at 2400 baud: about 240 bytes, frames back to back.
Bytes one_second_of(const Bytes& frame) {
  Bytes bytes;
  while (bytes.size() + frame.size() <= 240) bytes.insert(bytes.end(), frame.begin(), frame.end());
  return bytes;
}

void run(benchmark::State& state, Decoder decode, const Bytes& bytes, bool expect_frame) {
  tarvo::RxBuffer rx;
  rx.assign(bytes);
  const tarvo::DecodeSettings settings;
  tarvo::CurrentReading reading;
  for (auto _ : state) {
    const bool found = decode(rx, reading, settings);
    benchmark::DoNotOptimize(found);
    // A frame at the very end leaves nothing to move, so the bytes are intact.
    rx.hold(0, static_cast<std::int32_t>(bytes.size()));
    if (found != expect_frame) state.SkipWithError("unexpected decoder result");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

constexpr std::size_t kFull = tarvo::RxBuffer::kCapacity;

void BM_Bench_FullBuffer_Noise(benchmark::State& s) {
  run(s, tarvo::decode_bench_frame, noise(kFull), false);
}
void BM_Bench_FullBuffer_NearMisses(benchmark::State& s) {
  run(s, tarvo::decode_bench_frame, near_misses(kBenchFrame, kFull), false);
}
void BM_Bench_FullBuffer_FrameAtEnd(benchmark::State& s) {
  run(s, tarvo::decode_bench_frame, with_frame_at_end(noise(kFull), kBenchFrame), true);
}
void BM_Bench_OneSecondOfFrames(benchmark::State& s) {
  run(s, tarvo::decode_bench_frame, one_second_of(kBenchFrame), true);
}

void BM_Compact_FullBuffer_Noise(benchmark::State& s) {
  run(s, tarvo::decode_compact_frame, noise(kFull), false);
}
void BM_Compact_FullBuffer_NearMisses(benchmark::State& s) {
  run(s, tarvo::decode_compact_frame, near_misses(kCompactFrame, kFull), false);
}
void BM_Compact_FullBuffer_FrameAtEnd(benchmark::State& s) {
  run(s, tarvo::decode_compact_frame, with_frame_at_end(noise(kFull), kCompactFrame), true);
}
void BM_Compact_OneSecondOfFrames(benchmark::State& s) {
  run(s, tarvo::decode_compact_frame, one_second_of(kCompactFrame), true);
}

}  // namespace

BENCHMARK(BM_Bench_FullBuffer_Noise);
BENCHMARK(BM_Bench_FullBuffer_NearMisses);
BENCHMARK(BM_Bench_FullBuffer_FrameAtEnd);
BENCHMARK(BM_Bench_OneSecondOfFrames);
BENCHMARK(BM_Compact_FullBuffer_Noise);
BENCHMARK(BM_Compact_FullBuffer_NearMisses);
BENCHMARK(BM_Compact_FullBuffer_FrameAtEnd);
BENCHMARK(BM_Compact_OneSecondOfFrames);
