#include "sim_family.h"

#include <array>

#include "demo_programme.h"

namespace tarvo::sim {

namespace {

// Built on first use: the rows point into the catalogue and the demo texts of
// other files, which a table built at start-up could find not yet there.
const auto& rows() {
  static const std::array kSimFamilies = {
      SimFamily{.model = MeterModel::ModelTarvo,
                .encode = encode_bench_frame,
                .functions = bench_functions(),
                .sub_functions = bench_sub_functions(),
                .has_relative = true,
                .has_average = true,
                .demo = bench_demo_text()},
      SimFamily{.model = MeterModel::ModelNoxel,
                .encode = encode_compact_frame,
                .functions = compact_functions(),
                .sub_functions = {},
                .has_relative = false,
                .has_average = false,
                .demo = compact_demo_text()},
  };
  return kSimFamilies;
}

const SimFamily* row_of(MeterModel family) {
  for (const SimFamily& f : rows()) {
    if (f.model == family) return &f;
  }
  return nullptr;
}

}  // namespace

std::span<const SimFamily> sim_families() {
  return rows();
}

const SimFamily& sim_family_of(MeterModel family) {
  const SimFamily* row = row_of(family);
  return row != nullptr ? *row : *row_of(kDefaultFamily);
}

}  // namespace tarvo::sim
