#pragma once

namespace tarvo {

// Which meter family the acquisition talks to. The numeric values are our own;
// nothing outside the program stores them.
enum class MeterModel : int {
  None = 0,
  ModelTarvo = 1,  // bench family, 14-byte frames, main and sub display
  ModelNoxel = 2,  // compact family, 8-byte frames, main display only
};

// The family assumed when none is named: --family's default, the scenario
// language's, and the panel the window opens with.
inline constexpr MeterModel kDefaultFamily = MeterModel::ModelTarvo;

}  // namespace tarvo
