#include "display/grid_texts.h"

#include <algorithm>

#include "decode/meter_family.h"

namespace tarvo {
namespace {

void add(std::vector<std::string>& texts, std::string text) {
  if (std::find(texts.begin(), texts.end(), text) == texts.end()) texts.push_back(std::move(text));
}

void add_reading(GridColumnTexts& texts, const CurrentReading& r) {
  add(texts[2], r.Main_No);
  add(texts[3], r.Main_Range);
  add(texts[4], r.Sub_No);
  add(texts[5], r.Sub_range);
}

void add_family(GridColumnTexts& texts, const MeterFamily& family, const DecodeSettings& settings) {
  family.frame_shapes([&](std::span<const std::uint8_t> frame) {
    RxBuffer rx;
    rx.append(frame);
    CurrentReading reading;
    if (family.decode(rx, reading, settings)) add_reading(texts, reading);
  });
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
  for (const MeterFamily& family : meter_families()) add_family(texts, family, settings);
  return texts;
}

}  // namespace tarvo
