#include "display/view_following.h"

#include <algorithm>

#include "display/chart_paging.h"

namespace tarvo {

bool view_moved(ViewFollowing& following, bool shows_newest, std::int64_t count) {
  if (shows_newest) {
    const bool resumed = following.holding;
    follow_newest(following);
    return resumed;
  }
  if (!following.holding) following = {true, count};
  return false;
}

void follow_newest(ViewFollowing& following) {
  following = {};
}

bool views_follow(const ViewFollowing& following) {
  return !following.holding;
}

std::int64_t readings_meanwhile(const ViewFollowing& following, std::int64_t count) {
  if (!following.holding) return 0;
  return std::max<std::int64_t>(count - following.count_at_hold, 0);
}

bool grid_shows_newest(const GridWindow& rows, std::int64_t count) {
  if (rows.data_rows < 1 || count < 1) return true;
  return rows.first + rows.data_rows - 1 >= count;
}

bool page_shows_newest(const PageBounds& page, std::int64_t count) {
  if (page.last < page.first) return true;
  return page.last >= count;
}

ScrollParams held_grid_scrollbar(const GridWindow& rows, std::int64_t count,
                                 std::int32_t row_count) {
  ScrollParams params = re_size_grid(count, row_count);
  if (params.min == params.max) return params;  // the whole log fits: parked
  const std::int64_t position = std::int64_t{params.min} + rows.first - 1;
  params.position = scroll_value(std::clamp<std::int64_t>(position, params.min, params.max));
  return params;
}

ScrollParams held_chart_scrollbar(const PageBounds& page, std::int64_t count) {
  ScrollParams params = update_chart_scrollbar(count);
  if (params.min == params.max) return params;
  params.position = chart_thumb_for(page, count);
  return params;
}

}  // namespace tarvo
