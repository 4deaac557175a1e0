#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "display/grid_window.h"

namespace tarvo {

// For each column of the grid, the header and the texts of every shape its
// cells can take: every range line and sub-display line the decoders of every
// family can produce, every shape of main and sub number, record numbers up
// to 2^31 - 1 and the times of day. A digit stands for any digit: a view
// measuring them tries each digit in its place.
using GridColumnTexts = std::array<std::vector<std::string>, kGridColumns.size()>;

GridColumnTexts grid_column_texts(std::string_view decimal_separator, std::string_view ohm_sign);

}  // namespace tarvo
