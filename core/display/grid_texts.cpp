#include "display/grid_texts.h"

#include <algorithm>
#include <array>
#include <cstdint>

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

void add(std::vector<std::string>& texts, std::string text) {
  if (std::find(texts.begin(), texts.end(), text) == texts.end()) texts.push_back(std::move(text));
}

void add_reading(GridColumnTexts& texts, const CurrentReading& r) {
  add(texts[2], r.Main_No);
  add(texts[3], r.Main_Range);
  add(texts[4], r.Sub_No);
  add(texts[5], r.Sub_range);
}

template <std::size_t N, class Decode>
void add_frame(GridColumnTexts& texts, const std::array<std::uint8_t, N>& frame,
               const DecodeSettings& settings, Decode decode) {
  RxBuffer rx;
  rx.append(frame);
  CurrentReading reading;
  if (decode(rx, reading, settings)) add_reading(texts, reading);
}

void add_bench(GridColumnTexts& texts, const DecodeSettings& settings) {
  for (int range = 0; range < kRangeCodes; ++range) {
    for (int function = 0; function < kFunctionCodes; ++function) {
      for (const auto& [flags, sub] : kBenchSubModes) {
        for (const std::uint8_t mode : {std::uint8_t{0}, kAuto}) {
          const std::array<std::uint8_t, kBenchFrameSize> frame{
              static_cast<std::uint8_t>(kHeader | range),
              static_cast<std::uint8_t>(function),
              static_cast<std::uint8_t>(flags | mode | kMainNegative | kSubNegative),
              sub,
              8,
              8,
              8,
              8,
              8,
              8,
              8,
              8,
              8,
              8};
          add_frame(texts, frame, settings, decode_bench_frame);
        }
      }
    }
  }
}

void add_compact(GridColumnTexts& texts, const DecodeSettings& settings) {
  for (int range = 0; range < kRangeCodes; ++range) {
    for (int function = 0; function < kFunctionCodes; ++function) {
      for (const std::uint8_t mode : {std::uint8_t{0}, kAuto}) {
        const std::array<std::uint8_t, kCompactFrameSize> frame{
            static_cast<std::uint8_t>(kHeader | range),
            static_cast<std::uint8_t>(function),
            static_cast<std::uint8_t>(mode | kMainNegative),
            8,
            8,
            8,
            8,
            8};
        add_frame(texts, frame, settings, decode_compact_frame);
      }
    }
  }
}

}  // namespace

GridColumnTexts grid_column_texts(std::string_view decimal_separator, std::string_view ohm_sign) {
  GridColumnTexts texts;
  for (std::size_t c = 0; c < kGridColumns.size(); ++c) {
    texts[c].emplace_back(kGridColumns[c].header);
  }
  texts[0].emplace_back("2147483647");
  texts[1].emplace_back("00:00:00");
  for (const std::size_t number : {std::size_t{2}, std::size_t{4}}) {
    add(texts[number], "-OL");
  }
  const DecodeSettings settings{std::string(decimal_separator), std::string(ohm_sign)};
  add_bench(texts, settings);
  add_compact(texts, settings);
  return texts;
}

}  // namespace tarvo
