#include "display/view_following.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

// What the user or the log does, one step at a time.
enum class Step { Reading, MoveAway, MoveToNewest, AskNewest };

struct Event {
  Step step;
  bool follows_after;            // whether a reading now moves the views
  std::int64_t meanwhile_after;  // readings since the views began to hold
};

TEST(ViewFollowing, HoldsWhileTheUserLooksBackAndFollowsOnReturn) {
  struct Case {
    const char* name;
    std::vector<Event> events;
  };
  const Case cases[] = {
      {"readings alone keep following", {{Step::Reading, true, 0}, {Step::Reading, true, 0}}},
      {"a move away holds and counts what comes",
       {{Step::MoveAway, false, 0}, {Step::Reading, false, 1}, {Step::Reading, false, 2}}},
      {"a second move away keeps the first count",
       {{Step::MoveAway, false, 0},
        {Step::Reading, false, 1},
        {Step::MoveAway, false, 1},
        {Step::Reading, false, 2}}},
      {"reaching the newest by scrolling resumes",
       {{Step::MoveAway, false, 0}, {Step::Reading, false, 1}, {Step::MoveToNewest, true, 0}}},
      {"the user's request resumes",
       {{Step::MoveAway, false, 0}, {Step::Reading, false, 1}, {Step::AskNewest, true, 0}}},
      {"after resuming, a new move away counts afresh",
       {{Step::MoveAway, false, 0},
        {Step::Reading, false, 1},
        {Step::AskNewest, true, 0},
        {Step::Reading, true, 0},
        {Step::MoveAway, false, 0},
        {Step::Reading, false, 1}}},
      {"a move within the newest keeps following",
       {{Step::MoveToNewest, true, 0}, {Step::Reading, true, 0}}},
  };
  for (const Case& c : cases) {
    ViewFollowing following;
    std::int64_t count = 50;
    for (std::size_t i = 0; i < c.events.size(); ++i) {
      const Event& e = c.events[i];
      switch (e.step) {
        case Step::Reading:
          ++count;
          break;
        case Step::MoveAway:
          view_moved(following, false, count);
          break;
        case Step::MoveToNewest:
          view_moved(following, true, count);
          break;
        case Step::AskNewest:
          follow_newest(following);
          break;
      }
      EXPECT_EQ(views_follow(following), e.follows_after) << c.name << ", step " << i;
      EXPECT_EQ(readings_meanwhile(following, count), e.meanwhile_after)
          << c.name << ", step " << i;
    }
  }
}

TEST(ViewFollowing, MoveReportsWhenFollowingResumes) {
  ViewFollowing following;
  EXPECT_FALSE(view_moved(following, true, 10));  // it was following already
  EXPECT_FALSE(view_moved(following, false, 10));
  EXPECT_TRUE(view_moved(following, true, 12));
  EXPECT_EQ(following, ViewFollowing{});
}

TEST(ViewFollowing, NewestIsJudgedByTheRowsAndThePage) {
  struct Case {
    const char* name;
    GridWindow rows;
    PageBounds page;
    std::int64_t count;
    bool grid_newest, page_newest;
  };
  const Case cases[] = {
      {"both end at the newest", {78, 100, 23}, {1, 100}, 100, true, true},
      {"one row short of the newest", {77, 99, 23}, {1, 99}, 100, false, false},
      {"a log that fits the rows", {1, 10, 23}, {1, 10}, 10, true, true},
      {"an empty log", {1, 0, 23}, {1, 0}, 0, true, true},
      {"an older run's page", {78, 100, 23}, {1, 60}, 100, true, false},
      {"rows held while the log grew", {78, 100, 23}, {1, 100}, 130, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(grid_shows_newest(c.rows, c.count), c.grid_newest) << c.name;
    EXPECT_EQ(page_shows_newest(c.page, c.count), c.page_newest) << c.name;
  }
}

// The held scrollbars keep their thumb on what is shown, and their range
// still reaches the newest reading, so dragging to the end resumes following.
TEST(ViewFollowing, HeldScrollbarsReachTheNewest) {
  struct Case {
    const char* name;
    GridWindow rows;
    std::int64_t count;
    ScrollParams expected;
  };
  // 24 rows: 23 data rows; data row 1 shows position - 23 + 1.
  const Case grid_cases[] = {
      {"rows from record 11", {11, 40, 23}, 60, {33, 23, 60, 20}},
      {"rows from record 1", {1, 40, 23}, 60, {23, 23, 60, 20}},
      {"log still fits: parked", {1, 10, 23}, 20, {100, 100, 100, 20}},
  };
  for (const Case& c : grid_cases) {
    EXPECT_EQ(held_grid_scrollbar(c.rows, c.count, 24), c.expected) << c.name;
  }
  EXPECT_EQ(held_chart_scrollbar({101, 300}, 450), (ScrollParams{300, 200, 450, 1}));
  EXPECT_EQ(held_chart_scrollbar({1, 120}, 450), (ScrollParams{200, 200, 450, 1}));
  EXPECT_EQ(held_chart_scrollbar({1, 120}, 150), (ScrollParams{200, 200, 200, 1}));
}

}  // namespace
}  // namespace tarvo
