// The meter's two frame layouts, byte 0 first on the line, no checksum.
//
// Bench, 14 bytes:
//   0     101 rrrrr   header mark, range code
//   1     0 H O fffff HOLD, main overload, function code
//   2     0 s m A o R d q
//                     sub negative, main negative, auto ranging, sub overload,
//                     relative, sub dBm, sub frequency
//   3     0 ppp D ttt sub frequency range code, sub duty cycle, statistics mode
//   4-8   main digits, most significant first, one 0-9 per byte
//   9-13  sub digits
//
// Compact, 8 bytes:
//   0     101 rrrrr   header mark, range code
//   1     0 H O fffff HOLD, overload, function code
//   2     0 0 m A 00 tt
//                     negative, auto ranging, statistics mode
//   3-7   digits, most significant first

#include "frame_encoder.h"

#include <span>

#include "decode/bench_frame.h"
#include "decode/compact_frame.h"
#include "sim_family.h"

namespace tarvo::sim {

namespace {

constexpr std::uint8_t kHeaderMark = 0xA0;
constexpr int kDigits = 5;

std::uint8_t bit(bool on, int position) {
  return static_cast<std::uint8_t>(on ? 1U << position : 0U);
}

std::uint8_t low_bits(int value, int width) {
  return static_cast<std::uint8_t>(static_cast<unsigned>(value) & ((1U << width) - 1U));
}

void put_digits(std::uint32_t count, std::span<std::uint8_t> out) {
  count %= 100000U;
  for (int k = kDigits - 1; k >= 0; --k) {
    out[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(count % 10U);
    count /= 10U;
  }
}

std::uint8_t header(const MeterDisplay& d) {
  return static_cast<std::uint8_t>(kHeaderMark | low_bits(d.range, 5));
}

std::uint8_t function_byte(const MeterDisplay& d) {
  return bit(d.hold, 6) | bit(d.main.overload, 5) | low_bits(d.function, 5);
}

}  // namespace

std::vector<std::uint8_t> encode_bench_frame(const MeterDisplay& d) {
  std::vector<std::uint8_t> f(static_cast<std::size_t>(kBenchFrameSize));
  f[0] = header(d);
  f[1] = function_byte(d);
  f[2] = bit(d.sub_value.negative, 6) | bit(d.main.negative, 5) | bit(d.auto_range, 4) |
         bit(d.sub_value.overload, 3) | bit(d.sub == SubDisplay::Relative, 2) |
         bit(d.sub == SubDisplay::Dbm, 1) | bit(d.sub == SubDisplay::Frequency, 0);
  const int frequency_range = d.sub == SubDisplay::Frequency ? d.sub_frequency_range : 0;
  f[3] = static_cast<std::uint8_t>(low_bits(frequency_range, 3) << 4) |
         bit(d.sub == SubDisplay::DutyCycle, 3) | low_bits(d.stat_mode, 3);
  put_digits(d.main.count, std::span(f).subspan(4, kDigits));
  put_digits(d.sub_value.count, std::span(f).subspan(9, kDigits));
  return f;
}

std::vector<std::uint8_t> encode_compact_frame(const MeterDisplay& d) {
  std::vector<std::uint8_t> f(static_cast<std::size_t>(kCompactFrameSize));
  f[0] = header(d);
  f[1] = function_byte(d);
  f[2] = bit(d.main.negative, 5) | bit(d.auto_range, 4) | low_bits(d.stat_mode, 2);
  put_digits(d.main.count, std::span(f).subspan(3, kDigits));
  return f;
}

std::vector<std::uint8_t> encode_frame(const MeterDisplay& display) {
  return sim_family_of(display.family).encode(display);
}

}  // namespace tarvo::sim
