#include "display/chart_paging.h"

#include <algorithm>

namespace tarvo {

std::optional<ChartRequest> neighbour_page(const PageBounds& shown, std::int64_t count,
                                           PageStep step) {
  if (shown.last < shown.first) return std::nullopt;
  if (step == PageStep::Later) {
    if (shown.last >= count) return std::nullopt;
    return ChartRequest{shown.last + 1, PageDirection::Forward};
  }
  if (shown.first <= 1) return std::nullopt;
  return ChartRequest{std::min(shown.first - 1, count), PageDirection::Backward};
}

ChartRequest page_around(const ReadingLog& log, std::int64_t n) {
  constexpr std::int64_t kBefore = kChartPagePositions / 2 - 1;
  const PageBounds before = chart_page_bounds(log, n, PageDirection::Backward);
  return {std::max(before.first, n - kBefore), PageDirection::Forward};
}

std::int32_t chart_thumb_for(const PageBounds& shown, std::int64_t count) {
  const std::int64_t max = std::max<std::int64_t>(count, kChartPagePositions);
  return scroll_value(std::clamp<std::int64_t>(shown.last, kChartPagePositions, max));
}

}  // namespace tarvo
