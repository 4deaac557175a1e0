#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "decode/decode_settings.h"
#include "decode/meter_family.h"
#include "decode/rx_buffer.h"

namespace tarvo {

// What the frames between two logged readings showed: the meter sends several
// a second, and a logged reading is only the newest of them. Extremes and the
// mean are of the frames' main values in the unit shown, over those that are
// numbers (an overload is counted, but has no value).
struct FrameFigures {
  std::int32_t count = 0;
  std::int32_t numeric = 0;
  double min = 0, max = 0, mean = 0;

  friend bool operator==(const FrameFigures&, const FrameFigures&) = default;
};

// Decodes every valid frame of the bytes the port delivers, in order, and
// keeps the figures of those of the same function and unit as the newest
// (a range change starts them again, so they share the logged reading's unit).
class IntervalFrames {
 public:
  // Bytes as one read brought them; a frame cut between two reads is joined.
  void feed(const MeterFamily& family, std::span<const std::uint8_t> bytes,
            const DecodeSettings& settings);
  // Bytes were lost (a read too short to keep): a frame cut there is gone.
  void drop_pending() { pending_.clear(); }
  // The figures since the last take; the next interval starts empty.
  FrameFigures take();
  void clear();

 private:
  void add_frame(const MeterFamily& family, std::span<const std::uint8_t> frame,
                 const DecodeSettings& settings);

  std::vector<std::uint8_t> pending_;
  std::vector<std::uint8_t> joined_;
  std::string key_;
  FrameFigures figures_;
  RxBuffer scratch_;
};

}  // namespace tarvo
