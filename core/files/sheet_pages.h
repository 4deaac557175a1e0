#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "log/reading_log.h"

namespace tarvo {

// Called with the records written so far and the total; returning false
// cancels the export, which then leaves no file behind.
using ExportProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// A worksheet holds this many records below its title row.
inline constexpr std::int64_t kPageRecords = 65500;
// Columns of a sheet, in the grid's order: the index, then five texts.
inline constexpr std::size_t kSheetColumns = 6;

// Pages needed for a log; an empty log still gets one page with its titles.
std::int64_t page_count(std::int64_t records);
// "page 1", "page 2", ...
std::string page_name(std::int64_t page);

// Records first..last (1-based, inclusive) of page p (1-based).
struct PageRecords {
  std::int64_t first;
  std::int64_t last;
};
PageRecords page_records(std::int64_t page, std::int64_t records);

// The grid's title of a column (0-based).
std::string_view column_title(std::size_t column);
// The text of columns 1 to 5 (0-based), as the record stores it.
std::string_view text_cell(const real_Record& record, std::size_t column);

// Calls the progress callback at the start, every few thousand records and at
// the end, so that a long export stays responsive without paying per record.
class ProgressTicker {
 public:
  ProgressTicker(const ExportProgress& progress, std::int64_t total);
  // False once the callback asked to cancel.
  bool start();
  bool record_done();
  bool finish();

 private:
  bool report();

  const ExportProgress& progress_;
  std::int64_t total_;
  std::int64_t done_ = 0;
};

}  // namespace tarvo
