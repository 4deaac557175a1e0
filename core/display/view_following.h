#pragma once

#include <cstdint>

#include "display/chart_page.h"
#include "display/grid_window.h"
#include "display/scroll_params.h"

namespace tarvo {

// Whether the grid and the chart follow the newest reading or hold still on
// the older part of the log the user is looking at. A move of either view by
// the user that leaves the newest reading out of sight holds both; any move
// that brings the newest reading into sight again, or the user's request,
// lets them follow again. Readings keep coming in while the views hold; only
// the views stay where they are.
struct ViewFollowing {
  bool holding = false;
  std::int64_t count_at_hold = 0;  // the log's count when the views began to hold

  friend bool operator==(const ViewFollowing&, const ViewFollowing&) = default;
};

// The user moved a view; shows_newest tells whether it now shows the newest
// reading. Returns true when following resumes with this move.
bool view_moved(ViewFollowing& following, bool shows_newest, std::int64_t count);

// Back to the newest: Reset, a log opened from a file, the user's request.
void follow_newest(ViewFollowing& following);

// Whether a committed reading moves the views to it.
bool views_follow(const ViewFollowing& following);

// How many readings came in since the views began to hold; 0 while following.
std::int64_t readings_meanwhile(const ViewFollowing& following, std::int64_t count);

// Whether the grid's rows reach the newest reading. A grid without data rows,
// or a log without readings, counts as showing the newest.
bool grid_shows_newest(const GridWindow& rows, std::int64_t count);

// Whether the chart's page ends with the newest reading. No page counts as
// showing the newest.
bool page_shows_newest(const PageBounds& page, std::int64_t count);

// The grid's scrollbar while its rows hold still: its range grows with the
// log so the user can still reach the newest, and the thumb stays on the rows
// shown.
ScrollParams held_grid_scrollbar(const GridWindow& rows, std::int64_t count,
                                 std::int32_t row_count);

// The chart's scrollbar while its page holds still, by the same rule.
ScrollParams held_chart_scrollbar(const PageBounds& page, std::int64_t count);

}  // namespace tarvo
