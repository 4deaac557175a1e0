#include "files/sheet_pages.h"

#include <algorithm>
#include <charconv>

#include "display/grid_window.h"
#include "log/typed_reading.h"

namespace tarvo {

namespace {

static_assert(kGridColumns.size() == kSheetColumns);

constexpr std::string_view kTypedTitles[kTypedColumns] = {
    "DateTime", "Value",     "Unit",      "Overload",   "Sub Value", "Sub Unit",
    "Frames",   "Frame Min", "Frame Max", "Frame Mean", "Event"};

// The extremes are values the meter showed and stay exact; the mean of a few
// such values needs no more digits than these, and seventeen would double the
// size of a .csv.
double mean_digits(double mean) {
  char text[32];
  const auto [end, ec] =
      std::to_chars(text, text + sizeof text, mean, std::chars_format::scientific, 9);
  double rounded = mean;
  if (ec == std::errc()) std::from_chars(text, end, rounded);
  return rounded;
}

void add_frame_cells(TypedCells& cells, const FrameFigures& frames, std::string_view unit) {
  if (frames.count == 0) return;
  cells.frames = std::to_string(frames.count);
  if (frames.numeric == 0) return;
  const double values[] = {frames.min, frames.max, mean_digits(frames.mean)};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::optional<BaseNumber> base = in_base_unit(values[i], unit);
    if (!base) continue;
    cells.frame_values[i] = base->value;
    cells.frame_texts[i] = base->text;
  }
}

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

std::string_view typed_column_title(std::size_t column) {
  return column < kTypedColumns ? kTypedTitles[column] : std::string_view{};
}

TypedCells typed_cells(const real_Record& record, std::string_view decimal_separator) {
  const TypedReading typed = typed_reading(record, decimal_separator);
  TypedCells cells;
  if (record.Dated) cells.date_time = format_iso_local(record.DateTime);
  cells.value = typed.main.base_value;
  cells.value_text = typed.main.base_text;
  cells.unit = typed.main.base_unit;
  cells.overload = typed.main.overload;
  if (typed.sub) {
    cells.sub_value = typed.sub->base_value;
    cells.sub_value_text = typed.sub->base_text;
    cells.sub_unit = typed.sub->base_unit;
  }
  add_frame_cells(cells, record.Frames, typed.main.unit);
  cells.event = record_event_text(record);
  return cells;
}

std::string_view record_event_text(const real_Record& record) {
  if (record.TestFrame) return "test frame";
  return record.AfterGap ? "gap" : "";
}

}  // namespace tarvo
