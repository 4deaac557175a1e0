#include "display/grid_window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "display_test_log.h"

namespace tarvo {
namespace {

constexpr std::int32_t kDesignRows = 24;  // a 395-pixel grid: 23 data rows

// The records the data rows show, 0 for an empty row.
std::vector<std::int64_t> shown(const GridWindow& window) {
  std::vector<std::int64_t> records;
  for (std::int32_t r = 1; r <= window.data_rows; ++r) records.push_back(window.record_in_row(r));
  return records;
}

std::vector<std::int64_t> range_then_empty(std::int64_t first, std::int64_t last,
                                           std::size_t rows) {
  std::vector<std::int64_t> records;
  for (std::int64_t n = first; n <= last; ++n) records.push_back(n);
  records.resize(rows, 0);
  return records;
}

TEST(GridLayout, RowCountFollowsTheHeight) {
  struct Case {
    std::int32_t first_height, last_height, rows;
  };
  for (const Case c : {Case{390, 404, 24}, Case{375, 389, 23}, Case{345, 359, 21}, Case{0, 74, 2},
                       Case{-30, -1, 2}, Case{75, 89, 3}}) {
    for (std::int32_t h = c.first_height; h <= c.last_height; ++h) {
      EXPECT_EQ(grid_row_count(h), c.rows) << h;
    }
  }
}

TEST(GridWindow, RefreshShowsTheNewestRecordsAndSetsTheScrollbar) {
  struct Case {
    const char* name;
    std::int64_t count;
    std::int64_t first_shown;  // then consecutive records up to the count
    ScrollParams scrollbar;
  };
  const Case cases[] = {
      {"empty log", 0, 1, {100, 100, 100, 20}},
      {"one record", 1, 1, {100, 100, 100, 20}},
      {"as many records as data rows", 23, 1, {100, 100, 100, 20}},
      {"one record more", 24, 2, {24, 23, 24, 20}},
      {"long log", 250, 228, {250, 23, 250, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GridWindow window = refill_grid(c.count, kDesignRows);
    EXPECT_EQ(shown(window), range_then_empty(c.first_shown, c.count, 23));
    const ScrollParams bar = re_size_grid(c.count, kDesignRows);
    EXPECT_EQ(bar, c.scrollbar);
    // The change event the new parameters fire shows the same rows.
    EXPECT_EQ(shown(grid_window_at(bar, c.count, kDesignRows)), shown(window));
  }
}

TEST(GridWindow, ScrollbarPositionChoosesTheRows) {
  struct Case {
    const char* name;
    std::int64_t count;
    std::int32_t position, min;
    std::int32_t row_count;
    std::int64_t first_shown, last_shown;
  };
  const Case cases[] = {
      {"at the minimum of a long log", 250, 23, 23, kDesignRows, 1, 23},
      {"one step back from the end", 250, 249, 23, kDesignRows, 227, 249},
      {"at the end", 250, 250, 23, kDesignRows, 228, 250},
      // After a resize the old minimum stays until the next reading.
      {"old minimum after the grid shrank", 250, 250, 23, 23, 228, 249},
      {"old minimum after the grid grew", 250, 250, 23, 30, 228, 250},
      // Reset parks the bar at the data rows while the count is 0.
      {"after Reset", 0, 23, 23, kDesignRows, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ScrollParams bar{c.position, c.min, 250, 20};
    const GridWindow window = grid_window_at(bar, c.count, c.row_count);
    EXPECT_EQ(shown(window), range_then_empty(c.first_shown, c.last_shown,
                                              static_cast<std::size_t>(c.row_count - 1)));
  }
}

TEST(GridWindow, ClearEmptiesEveryDataRow) {
  const GridWindow window = clear_grid_rows(kDesignRows);
  EXPECT_EQ(shown(window), std::vector<std::int64_t>(23, 0));
}

// Small grids are not provided for by the design page size of 20: whatever the
// height and count, the parameters must be valid for a scrollbar.
TEST(GridScrollbar, ParametersAreValidForEveryGridAndCount) {
  const auto valid = [](const ScrollParams& p) {
    return p.min <= p.position && p.position <= p.max && 1 <= p.page_size && p.page_size <= p.max;
  };
  EXPECT_TRUE(valid(initial_grid_scrollbar()));
  for (std::int32_t height = 0; height <= 420; height += 3) {
    const std::int32_t rows = grid_row_count(height);
    SCOPED_TRACE(height);
    EXPECT_TRUE(valid(reset_grid_scrollbar(rows)));
    for (const std::int64_t count :
         {std::int64_t{0}, std::int64_t{1}, std::int64_t{rows - 1}, std::int64_t{rows},
          std::int64_t{rows + 1}, std::int64_t{100000}}) {
      EXPECT_TRUE(valid(re_size_grid(count, rows))) << count;
    }
  }
  // A 300-pixel grid has 17 data rows.
  EXPECT_EQ(re_size_grid(18, grid_row_count(300)), (ScrollParams{18, 17, 18, 18}));
  EXPECT_EQ(reset_grid_scrollbar(grid_row_count(300)), (ScrollParams{17, 17, 17, 17}));
  EXPECT_EQ(reset_grid_scrollbar(kDesignRows), (ScrollParams{23, 23, 23, 20}));
}

TEST(GridWindow, CountsPastTheScrollbarRangeStayConsistent) {
  const std::int64_t count = std::int64_t{1} << 32;
  const GridWindow window = refill_grid(count, kDesignRows);
  EXPECT_EQ(window.record_in_row(23), count);
  EXPECT_EQ(window.record_in_row(1), count - 22);
  const ScrollParams bar = re_size_grid(count, kDesignRows);
  EXPECT_EQ(bar.max, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(bar.position, bar.max);
  EXPECT_EQ(bar.min, 23);
}

TEST(GridWindow, CellsCopyTheStoredTexts) {
  ReadingLog log = log_of({{"OL", "OHM MANU 50.000 K\xCE\xA9", "09:05:03"}});
  real_Record record = log[1];
  record.Index = 9000000000;
  record.Sub_No.assign("-0.0060");
  record.Sub_range.assign("  ");
  const char* expected[] = {"9000000000", "09:05:03", "OL", "OHM MANU 50.000 K\xCE\xA9",
                            "-0.0060",    "  ",       ""};
  for (std::size_t c = 0; c < 7; ++c) EXPECT_EQ(grid_cell_text(record, c), expected[c]) << c;
}

}  // namespace
}  // namespace tarvo
