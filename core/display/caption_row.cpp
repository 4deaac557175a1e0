#include "display/caption_row.h"

#include <algorithm>
#include <numeric>

namespace tarvo {
namespace {

std::optional<RowPlacement> lay_out(const std::vector<int>& widths, int right, int left_limit,
                                    int gap) {
  if (widths.empty()) return RowPlacement{};
  const int total =
      std::accumulate(widths.begin(), widths.end(), 0) + gap * static_cast<int>(widths.size() - 1);
  if (right - total < left_limit) return std::nullopt;
  RowPlacement row;
  int x = right - total;
  for (const int w : widths) {
    row.left.push_back(x);
    row.width.push_back(w);
    x += w + gap;
  }
  return row;
}

}  // namespace

std::optional<RowPlacement> place_caption_row(const std::vector<CaptionSlot>& slots, int right,
                                              int left_limit, int gap) {
  std::vector<int> roomy, tight;
  for (const CaptionSlot& s : slots) {
    roomy.push_back(std::max(s.design_width, s.needed_width));
    tight.push_back(s.needed_width);
  }
  if (auto row = lay_out(roomy, right, left_limit, gap)) return row;
  return lay_out(tight, right, left_limit, gap);
}

ColumnSplit split_title_column(int left, int right, int gap, int design_title_width,
                               int widest_title, int narrowest_value) {
  const int most_title = right - left - gap - narrowest_value;
  const int title =
      std::clamp(widest_title, design_title_width, std::max(design_title_width, most_title));
  const int value_left = left + title + gap;
  return {title, value_left, right - value_left};
}

}  // namespace tarvo
