#include "log/frame_figures.h"

#include <algorithm>

#include "log/reading_value.h"

namespace tarvo {

void IntervalFrames::feed(const MeterFamily& family, std::span<const std::uint8_t> bytes,
                          const DecodeSettings& settings) {
  joined_.assign(pending_.begin(), pending_.end());
  joined_.insert(joined_.end(), bytes.begin(), bytes.end());
  const std::size_t size = static_cast<std::size_t>(family.frame_size);
  std::size_t at = 0;
  while (at + size <= joined_.size()) {
    const std::span<const std::uint8_t> candidate(joined_.data() + at, size);
    if (family.is_frame(candidate)) {
      add_frame(family, candidate, settings);
      at += size;
    } else {
      ++at;
    }
  }
  pending_.assign(joined_.begin() + static_cast<std::ptrdiff_t>(at), joined_.end());
}

void IntervalFrames::add_frame(const MeterFamily& family, std::span<const std::uint8_t> frame,
                               const DecodeSettings& settings) {
  scratch_.assign(frame);
  CurrentReading reading;
  if (!family.decode(scratch_, reading, settings)) return;
  const RunFields run = run_fields(reading.Main_Range);
  std::string key = std::string(run.function) + "|" + std::string(run.unit);
  if (key != key_) {
    key_ = std::move(key);
    figures_ = {};
  }
  ++figures_.count;
  const std::optional<double> value = main_value(reading.Main_No, settings.DecimalSeparator);
  if (!value) return;
  ++figures_.numeric;
  figures_.min = figures_.numeric == 1 ? *value : std::min(figures_.min, *value);
  figures_.max = figures_.numeric == 1 ? *value : std::max(figures_.max, *value);
  figures_.mean += (*value - figures_.mean) / figures_.numeric;
}

FrameFigures IntervalFrames::take() {
  const FrameFigures taken = figures_;
  figures_ = {};
  return taken;
}

void IntervalFrames::clear() {
  pending_.clear();
  key_.clear();
  figures_ = {};
}

}  // namespace tarvo
