#include "display/grid_window.h"

#include <algorithm>

namespace tarvo {

namespace {

constexpr std::int32_t kParkedPosition = 100;
// The design page size; smaller only where the maximum is smaller, so that a
// grid of fewer than 20 data rows still gets a valid scrollbar.
constexpr std::int32_t kGridPageSize = 20;

ScrollParams grid_scrollbar(std::int32_t position, std::int32_t min, std::int32_t max) {
  return {position, min, max, std::clamp(max, 1, kGridPageSize)};
}

}  // namespace

std::int32_t grid_row_count(std::int32_t grid_height) {
  return std::max(grid_height / kGridRowHeight - 2, 2);
}

std::int64_t GridWindow::record_in_row(std::int32_t row) const {
  if (row < 1 || row > data_rows) return 0;
  const std::int64_t n = first + row - 1;
  return n <= last ? n : 0;
}

GridWindow refill_grid(std::int64_t count, std::int32_t row_count) {
  const std::int64_t first = std::max<std::int64_t>(count - row_count + 2, 1);
  return {first, count, row_count - 1};
}

GridWindow grid_window_at(const ScrollParams& scrollbar, std::int64_t count,
                          std::int32_t row_count) {
  const std::int64_t first = std::int64_t{scrollbar.position} - scrollbar.min + 1;
  if (first < 1) return clear_grid_rows(row_count);
  return {first, count, row_count - 1};
}

GridWindow clear_grid_rows(std::int32_t row_count) {
  return {1, 0, row_count - 1};
}

ScrollParams re_size_grid(std::int64_t count, std::int32_t row_count) {
  const std::int32_t data_rows = row_count - 1;
  if (count > data_rows) {
    const std::int32_t newest = scroll_value(count);
    return grid_scrollbar(newest, data_rows, newest);
  }
  return grid_scrollbar(kParkedPosition, kParkedPosition, kParkedPosition);
}

ScrollParams reset_grid_scrollbar(std::int32_t row_count) {
  return grid_scrollbar(row_count - 1, row_count - 1, row_count - 1);
}

ScrollParams initial_grid_scrollbar() {
  return grid_scrollbar(kGridPageSize, kGridPageSize, kGridPageSize);
}

std::string grid_cell_text(const real_Record& record, std::size_t column) {
  switch (column) {
    case 0:
      return std::to_string(record.Index);
    case 1:
      return record.Time.str();
    case 2:
      return record.Main_No.str();
    case 3:
      return record.Main_Range.str();
    case 4:
      return record.Sub_No.str();
    case 5:
      return record.Sub_range.str();
    default:
      return {};
  }
}

}  // namespace tarvo
