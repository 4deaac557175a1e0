#include "display/chart_cursor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "display_test_log.h"

namespace tarvo {
namespace {

using std::chrono::milliseconds;

constexpr std::int32_t kWidth = 668;
constexpr std::int32_t kHeight = 395;

// A short page of three points: 1.2345, 50 and -0.5 at positions 0 to 2.
ChartPage short_page() {
  const ReadingLog log = log_of({{"1,2345", "DCV AUTO 50,000 V", "12:00:01"},
                                 {"50,000", "DCV AUTO 50,000 V", "12:00:02"},
                                 {"-0,500", "DCV AUTO 50,000 V", "12:00:03"}});
  return update_chart(log, 3, PageDirection::Backward, ",");
}

ChartCursor switched_on() {
  ChartCursor cursor;
  switch_cursor(cursor);
  return cursor;
}

CursorPointer at(std::int32_t x, std::int32_t y, double axis_position) {
  return {x, y, kWidth, kHeight, axis_position};
}

TEST(ChartCursor, ReadsOffThePointUnderThePointer) {
  struct Case {
    const char* name;
    CursorPointer pointer;
    std::string value, time;
    std::int32_t value_left, value_top, time_left;
  };
  const Case cases[] = {
      {"first point", at(100, 200, 0.2), "1,2345", "12:00:01", 105, 218, 105},
      {"axis position rounds half up", at(100, 200, 1.5), "-0,5", "12:00:03", 105, 218, 105},
      {"just below the half", at(100, 200, 1.49), "50", "12:00:02", 105, 218, 105},
      {"left of position 0 truncates to 0", at(40, 34, -0.9), "1,2345", "12:00:01", 45, 52, 45},
      {"low pointer puts the value above", at(100, 292, 0), "1,2345", "12:00:01", 105, 248, 105},
      {"at the top of the low zone", at(100, 291, 0), "1,2345", "12:00:01", 105, 309, 105},
      {"near the right edge, labels go left", at(610, 200, 0), "1,2345", "12:00:01", 566, 218, 566},
      {"last pixel before they go left", at(609, 200, 0), "1,2345", "12:00:01", 614, 218, 614},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChartCursor cursor = switched_on();
    move_cursor(cursor, short_page(), c.pointer, ",");
    EXPECT_TRUE(cursor.line_visible && cursor.value_label_visible && cursor.time_label_visible);
    EXPECT_EQ(cursor.line_left, c.pointer.x);
    EXPECT_EQ(cursor.value_text, c.value);
    EXPECT_EQ(cursor.time_text, c.time);
    EXPECT_EQ(cursor.value_left, c.value_left);
    EXPECT_EQ(cursor.value_top, c.value_top);
    EXPECT_EQ(cursor.time_left, c.time_left);
    EXPECT_EQ(cursor.time_top, 3);
  }
}

TEST(ChartCursor, HidesWhereThereIsNothingToRead) {
  struct Case {
    const char* name;
    CursorPointer pointer;
    bool empty_page;
    bool line_visible;
    std::int32_t line_left;
  };
  const Case cases[] = {
      {"left of the plot", at(39, 200, 0), false, false, 300},
      {"above the plot", at(100, 33, 0), false, false, 300},
      {"right of the plot", at(649, 200, 0), false, false, 300},
      {"below the plot", at(100, 356, 0), false, false, 300},
      {"empty page", at(100, 200, 0), true, false, 300},
      {"right of the last point", at(100, 200, 2.5), false, true, 100},
      {"beyond the axis", at(100, 200, 250), false, true, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChartCursor cursor = switched_on();
    move_cursor(cursor, short_page(), at(300, 200, 0), ",");
    move_cursor(cursor, c.empty_page ? ChartPage{} : short_page(), c.pointer, ",");
    EXPECT_EQ(cursor.line_visible, c.line_visible);
    EXPECT_FALSE(cursor.value_label_visible);
    EXPECT_FALSE(cursor.time_label_visible);
    EXPECT_EQ(cursor.line_left, c.line_left);
    EXPECT_EQ(cursor.value_text, "");
    EXPECT_EQ(cursor.time_text, "");
  }
}

TEST(ChartCursor, MovingIgnoredWhileSwitchedOff) {
  ChartCursor cursor;
  move_cursor(cursor, short_page(), at(100, 200, 0), ",");
  EXPECT_FALSE(cursor.line_visible || cursor.value_label_visible || cursor.time_label_visible);
  EXPECT_EQ(cursor.value_text, "88:88:88");
  EXPECT_EQ(cursor.line_left, 502);
}

TEST(ChartCursor, DoubleClickAndQuickReleasesSwitchTheReadout) {
  ChartCursor cursor;
  switch_cursor(cursor);
  EXPECT_TRUE(cursor.on && cursor.line_visible && cursor.value_label_visible &&
              cursor.time_label_visible);

  struct Release {
    std::int64_t at_ms;
    bool on_after;
  };
  const Release releases[] = {
      {10000, true},   // the first release never switches
      {10500, false},  // 0.5 s after the last one
      {12000, false},  // 1.5 s
      {12999, true},   // just under a second
      {13999, true},   // exactly a second
  };
  for (const Release& r : releases) {
    release_on_cursor_line(cursor, milliseconds(r.at_ms));
    EXPECT_EQ(cursor.on, r.on_after) << r.at_ms;
    EXPECT_EQ(cursor.line_visible, r.on_after) << r.at_ms;
  }
}

TEST(ChartCursor, ResetEmptiesOnlyTheCaptions) {
  ChartCursor cursor = switched_on();
  move_cursor(cursor, short_page(), at(100, 200, 0), ",");
  clear_cursor_captions(cursor);
  EXPECT_EQ(cursor.value_text, "");
  EXPECT_EQ(cursor.time_text, "");
  EXPECT_TRUE(cursor.on && cursor.line_visible);
}

}  // namespace
}  // namespace tarvo
