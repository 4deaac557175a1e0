#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "display/scroll_params.h"
#include "log/reading_log.h"

namespace tarvo {

struct GridColumn {
  std::string_view header;  // the same in every interface language
  std::int32_t width;       // pixels
};

inline constexpr std::array<GridColumn, 6> kGridColumns{{
    {"Index", 33},
    {"Time", 60},
    {"Main", 44},
    {"Main_Range", 130},
    {"Sub", 44},
    {"Sub_Range", 82},
}};

// Every row, the header row included, is this many pixels high.
inline constexpr std::int32_t kGridRowHeight = 15;

// Rows of the grid, header included, for a grid of the given pixel height: a
// 395-pixel grid gets 24. Never fewer than 2, so the newest record always has
// a row.
std::int32_t grid_row_count(std::int32_t grid_height);

// The consecutive records the data rows show: data row r (1-based) shows
// record first + r - 1 while that is at most last; rows below are empty.
struct GridWindow {
  std::int64_t first = 1;
  std::int64_t last = 0;
  std::int32_t data_rows = 0;

  // The record data row r shows, 0 when the row is empty.
  std::int64_t record_in_row(std::int32_t row) const;

  friend bool operator==(const GridWindow&, const GridWindow&) = default;
};

// The window that ends with the newest record (refill_grid).
GridWindow refill_grid(std::int64_t count, std::int32_t row_count);

// The window the scrollbar position stands for (scrlbr_Grid1Change): the last
// data row shows record position - min + data rows. The widget skips this
// while the scrollbar is disabled.
GridWindow grid_window_at(const ScrollParams& scrollbar, std::int64_t count,
                          std::int32_t row_count);

// Every data row empty; the header and the scrollbar stay as they are.
GridWindow clear_grid_rows(std::int32_t row_count);

// Scrollbar after a refresh (re_size_grid): while the log is longer than the
// grid, min = data rows and position = max = count; while it fits, parked at
// 100. The rows it stands for are those of refill_grid, so setting it needs no
// second fill.
ScrollParams re_size_grid(std::int64_t count, std::int32_t row_count);

// Scrollbar after a Reset: position = min = max = data rows.
ScrollParams reset_grid_scrollbar(std::int32_t row_count);

// The scrollbar as the window first shows it.
ScrollParams initial_grid_scrollbar();

// The text of one cell of a data row, copied from the record as stored; only
// the record number is formatted. Columns outside 0 to 5 are empty.
std::string grid_cell_text(const real_Record& record, std::size_t column);

}  // namespace tarvo
