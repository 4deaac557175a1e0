#pragma once

#include <optional>
#include <vector>

namespace tarvo {

// One control of a row whose caption changes with the language.
struct CaptionSlot {
  int design_width;  // the width the window was designed with
  int needed_width;  // what the current caption needs at the font tried
};

// Where the controls of a row go so that every caption fits: each keeps its
// design width when there is room for that, otherwise grows to its caption;
// the row stays tied to its right end and may reach left to left_limit.
// Returns the left edge of each control, or nullopt when even the narrowest
// row (every control exactly as wide as its caption) does not fit.
struct RowPlacement {
  std::vector<int> left;
  std::vector<int> width;
};
std::optional<RowPlacement> place_caption_row(const std::vector<CaptionSlot>& slots, int right,
                                              int left_limit, int gap);

// The split of a title column and a value column that share one span: the
// titles grow to their widest caption, the values give up what they need.
struct ColumnSplit {
  int title_width;
  int value_left;
  int value_width;
};
ColumnSplit split_title_column(int left, int right, int gap, int design_title_width,
                               int widest_title, int narrowest_value);

}  // namespace tarvo
