#include "decode/meter_family.h"

#include <array>

#include "decode/bench_frame.h"
#include "decode/compact_frame.h"

namespace tarvo {

namespace {

template <std::size_t N, bool (*IsFrame)(std::span<const std::uint8_t, N>)>
bool is_frame_of(std::span<const std::uint8_t> bytes) {
  return bytes.size() == N && IsFrame(bytes.first<N>());
}

constexpr std::array kFamilies = {
    MeterFamily{.model = MeterModel::ModelTarvo,
                .name = "bench",
                .frame_size = kBenchFrameSize,
                .has_sub_display = true,
                .is_frame = is_frame_of<kBenchFrameSize, is_bench_frame>,
                .decode = decode_bench_frame,
                .reset_relights_panel = true,
                .frame_shapes = bench_frame_shapes},
    MeterFamily{.model = MeterModel::ModelNoxel,
                .name = "compact",
                .frame_size = kCompactFrameSize,
                .has_sub_display = false,
                .is_frame = is_frame_of<kCompactFrameSize, is_compact_frame>,
                .decode = decode_compact_frame,
                .reset_relights_panel = false,
                .frame_shapes = compact_frame_shapes},
};

}  // namespace

std::span<const MeterFamily> meter_families() {
  return kFamilies;
}

const MeterFamily* family_of(MeterModel model) {
  for (const MeterFamily& f : kFamilies) {
    if (f.model == model) return &f;
  }
  return nullptr;
}

std::optional<MeterModel> family_named(std::string_view name) {
  for (const MeterFamily& f : kFamilies) {
    if (f.name == name) return f.model;
  }
  return std::nullopt;
}

std::string family_names() {
  std::string names;
  for (std::size_t i = 0; i < kFamilies.size(); ++i) {
    if (i > 0) names += i + 1 == kFamilies.size() ? " or " : ", ";
    names += kFamilies[i].name;
  }
  return names;
}

std::optional<std::string> family_option_error(std::string_view text) {
  if (family_named(text)) return std::nullopt;
  return "--family must be " + family_names() + ", not \"" + std::string(text) + "\"";
}

}  // namespace tarvo
