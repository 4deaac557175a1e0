#include "files/sheet_pages.h"

#include <algorithm>

#include "display/grid_window.h"

namespace tarvo {

namespace {

static_assert(kGridColumns.size() == kSheetColumns);

}  // namespace

std::int64_t page_count(std::int64_t records) {
  return std::max<std::int64_t>((records + kPageRecords - 1) / kPageRecords, 1);
}

std::string page_name(std::int64_t page) {
  return "page " + std::to_string(page);
}

PageRecords page_records(std::int64_t page, std::int64_t records) {
  const std::int64_t first = (page - 1) * kPageRecords + 1;
  return {first, std::min(first + kPageRecords - 1, records)};
}

std::string_view column_title(std::size_t column) {
  return kGridColumns[column].header;
}

std::string_view text_cell(const real_Record& record, std::size_t column) {
  switch (column) {
    case 1:
      return record.Time.view();
    case 2:
      return record.Main_No.view();
    case 3:
      return record.Main_Range.view();
    case 4:
      return record.Sub_No.view();
    case 5:
      return record.Sub_range.view();
    default:
      return {};
  }
}

}  // namespace tarvo
