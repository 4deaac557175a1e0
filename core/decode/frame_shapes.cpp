#include "decode/frame_shapes.h"

#include <array>

#include "decode/bench_frame.h"
#include "decode/compact_frame.h"

namespace tarvo {

namespace {

constexpr std::uint8_t kHeader = 0xA0;
constexpr int kRangeCodes = 8;      // 6 to 7 are undefined
constexpr int kFunctionCodes = 32;  // the high ones are undefined
constexpr std::uint8_t kAuto = 0x10;
constexpr std::uint8_t kMainNegative = 0x20;
constexpr std::uint8_t kSubNegative = 0x40;
constexpr std::uint8_t kEight = 8;

// The sub display's choices of the bench family: off, statistics, the four
// frequency ranges, dBm, duty cycle and relative mode, as bytes 2 and 3.
constexpr std::array<std::array<std::uint8_t, 2>, 9> kBenchSubModes{{
    {0x00, 0x00},
    {0x00, 0x01},
    {0x01, 0x00},
    {0x01, 0x10},
    {0x01, 0x20},
    {0x01, 0x30},
    {0x02, 0x00},
    {0x00, 0x08},
    {0x04, 0x00},
}};

std::uint8_t header(int range) {
  return static_cast<std::uint8_t>(kHeader | range);
}

}  // namespace

void bench_frame_shapes(const FrameVisitor& visit) {
  std::array<std::uint8_t, kBenchFrameSize> frame{};
  frame.fill(kEight);
  for (int range = 0; range < kRangeCodes; ++range) {
    for (int function = 0; function < kFunctionCodes; ++function) {
      for (const auto& [flags, sub] : kBenchSubModes) {
        for (const std::uint8_t mode : {std::uint8_t{0}, kAuto}) {
          frame[0] = header(range);
          frame[1] = static_cast<std::uint8_t>(function);
          frame[2] = static_cast<std::uint8_t>(flags | mode | kMainNegative | kSubNegative);
          frame[3] = sub;
          visit(frame);
        }
      }
    }
  }
}

void compact_frame_shapes(const FrameVisitor& visit) {
  std::array<std::uint8_t, kCompactFrameSize> frame{};
  frame.fill(kEight);
  for (int range = 0; range < kRangeCodes; ++range) {
    for (int function = 0; function < kFunctionCodes; ++function) {
      for (const std::uint8_t mode : {std::uint8_t{0}, kAuto}) {
        frame[0] = header(range);
        frame[1] = static_cast<std::uint8_t>(function);
        frame[2] = static_cast<std::uint8_t>(mode | kMainNegative);
        visit(frame);
      }
    }
  }
}

}  // namespace tarvo
