#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "files/work_progress.h"
#include "log/reading_log.h"

namespace tarvo {

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

// Columns that .csv and .xlsx add after the grid's six, for charting and
// filtering: the date-time, the main number and the sub number in base units,
// the frames' figures, and what sets the record apart from the others.
inline constexpr std::size_t kTypedColumns = 11;

// The grid's title of a column (0-based).
std::string_view column_title(std::size_t column);
// The text of columns 1 to 5 (0-based), as the record stores it.
std::string_view text_cell(const real_Record& record, std::size_t column);

// "DateTime", "Value", "Unit", "Overload", "Sub Value", "Sub Unit", "Frames",
// "Frame Min", "Frame Max", "Frame Mean", "Event" (0-based).
std::string_view typed_column_title(std::size_t column);

// The added columns of one record. A number is absent for OL or a text that
// is no number; its text is exact, with "." whatever the locale.
struct TypedCells {
  std::string date_time;  // ISO 8601 local date-time; empty for a record without a date
  std::optional<double> value;
  std::string value_text;
  std::string unit;
  bool overload = false;
  std::optional<double> sub_value;
  std::string sub_value_text;
  std::string sub_unit;
  // The frames of the reading's interval: their count (empty for a record
  // that has none, as a text log's), then their lowest, highest and mean main
  // value in Unit.
  std::string frames;
  std::array<std::optional<double>, 3> frame_values;
  std::array<std::string, 3> frame_texts;
  // "gap" for the first reading after the meter came back, "test frame" for a
  // frame typed by hand; empty for an ordinary reading.
  std::string_view event;
};

std::string_view record_event_text(const real_Record& record);
// The record's numbers carry decimal_separator.
TypedCells typed_cells(const real_Record& record, std::string_view decimal_separator);

}  // namespace tarvo
