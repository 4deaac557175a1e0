#include "files/xlsx_writer.h"

#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/utf_text.h"
#include "files/xlsx_library.h"

namespace tarvo {

namespace {

enum class SheetResult { Written, Cancelled, Failed };

// The date-time cells' format: the date and the time to the second.
constexpr const char* kDateTimeFormat = "yyyy-mm-dd hh:mm:ss";

lxw_datetime excel_datetime(const LocalTime& t) {
  return {t.year, t.month, t.day, t.hour, t.minute, static_cast<double>(t.second)};
}

class SheetWriter {
 public:
  SheetWriter(lxw_worksheet* sheet, lxw_format* date_time, std::string& error)
      : sheet_(sheet), date_time_(date_time), error_(error) {}

  bool text(lxw_row_t row, lxw_col_t column, std::string_view text) {
    if (text.empty()) return true;
    cell_.clear();
    append_valid_utf8(cell_, text);
    return check(worksheet_write_string(sheet_, row, column, cell_.c_str(), nullptr));
  }

  bool number(lxw_row_t row, lxw_col_t column, double value) {
    return check(worksheet_write_number(sheet_, row, column, value, nullptr));
  }

  bool number(lxw_row_t row, lxw_col_t column, const std::optional<double>& value) {
    return !value || number(row, column, *value);
  }

  bool date_time(lxw_row_t row, lxw_col_t column, const LocalTime& t) {
    lxw_datetime moment = excel_datetime(t);
    return check(worksheet_write_datetime(sheet_, row, column, &moment, date_time_));
  }

 private:
  bool check(lxw_error result) {
    if (result == LXW_NO_ERROR) return true;
    error_ = xlsx_failure_reason(result, errno);
    return false;
  }

  lxw_worksheet* sheet_;
  lxw_format* date_time_;
  std::string& error_;
  std::string cell_;
};

bool write_typed_cells(SheetWriter& out, const real_Record& record, lxw_row_t row,
                       std::string_view decimal_separator) {
  constexpr auto first = static_cast<lxw_col_t>(kSheetColumns);
  const TypedCells cells = typed_cells(record, decimal_separator);
  return (!record.Dated || out.date_time(row, first, record.DateTime)) &&
         out.number(row, first + 1, cells.value) && out.text(row, first + 2, cells.unit) &&
         out.number(row, first + 3, cells.overload ? 1.0 : 0.0) &&
         out.number(row, first + 4, cells.sub_value) && out.text(row, first + 5, cells.sub_unit) &&
         (record.Frames.count == 0 ||
          out.number(row, first + 6, static_cast<double>(record.Frames.count))) &&
         out.number(row, first + 7, cells.frame_values[0]) &&
         out.number(row, first + 8, cells.frame_values[1]) &&
         out.number(row, first + 9, cells.frame_values[2]) &&
         (cells.event.empty() || out.text(row, first + 10, cells.event));
}

bool write_record_row(SheetWriter& out, const real_Record& record, lxw_row_t row,
                      std::string_view decimal_separator) {
  if (!out.number(row, 0, static_cast<double>(record.Index))) return false;
  for (std::size_t c = 1; c < kSheetColumns; ++c) {
    if (!out.text(row, static_cast<lxw_col_t>(c), text_cell(record, c))) return false;
  }
  return write_typed_cells(out, record, row, decimal_separator);
}

constexpr auto kNoteColumn = static_cast<lxw_col_t>(kSheetColumns + kTypedColumns);

bool write_titles(SheetWriter& out, const NoteColumn& notes) {
  for (std::size_t c = 0; c < kSheetColumns; ++c) {
    if (!out.text(0, static_cast<lxw_col_t>(c), column_title(c))) return false;
  }
  for (std::size_t c = 0; c < kTypedColumns; ++c) {
    if (!out.text(0, static_cast<lxw_col_t>(kSheetColumns + c), typed_column_title(c))) {
      return false;
    }
  }
  return notes.empty() || out.text(0, kNoteColumn, notes.title());
}

struct SheetJob {
  const ReadingLog& log;
  lxw_format* date_time;
  std::string_view decimal_separator;
  const NoteColumn& notes;
};

SheetResult write_sheet(lxw_workbook* workbook, const SheetJob& job, std::int64_t page,
                        ProgressTicker& ticker, std::string& error) {
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, page_name(page).c_str());
  if (sheet == nullptr) {
    error = "the worksheet could not be added";
    return SheetResult::Failed;
  }
  SheetWriter out(sheet, job.date_time, error);
  if (!write_titles(out, job.notes)) return SheetResult::Failed;
  const PageRecords records = page_records(page, job.log.count());
  for (std::int64_t n = records.first; n <= records.last; ++n) {
    const auto row = static_cast<lxw_row_t>(n - records.first + 1);
    if (!write_record_row(out, job.log[n], row, job.decimal_separator) ||
        !out.text(row, kNoteColumn, job.notes.text_at(n))) {
      return SheetResult::Failed;
    }
    if (!ticker.record_done()) return SheetResult::Cancelled;
  }
  return SheetResult::Written;
}

SheetResult write_sheets(lxw_workbook* workbook, const SheetJob& job, ProgressTicker& ticker,
                         std::string& error) {
  if (!ticker.start()) return SheetResult::Cancelled;
  for (std::int64_t page = 1; page <= page_count(job.log.count()); ++page) {
    const SheetResult result = write_sheet(workbook, job, page, ticker, error);
    if (result != SheetResult::Written) return result;
  }
  return ticker.finish() ? SheetResult::Written : SheetResult::Cancelled;
}

}  // namespace

bool write_xlsx(const ReadingLog& log, const std::filesystem::path& file,
                const ExportProgress& progress, std::string& error,
                std::string_view decimal_separator, const NoteColumn& notes) {
  const QuietStandardError quiet;
  errno = 0;
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* workbook = workbook_new_opt(file.string().c_str(), &options);
  if (workbook == nullptr) {
    error = errno != 0 ? std::strerror(errno) : "the workbook could not be created";
    return false;
  }
  lxw_format* date_time = workbook_add_format(workbook);
  if (date_time != nullptr) format_set_num_format(date_time, kDateTimeFormat);
  ProgressTicker ticker(progress, log.count());
  const SheetResult result =
      write_sheets(workbook, {log, date_time, decimal_separator, notes}, ticker, error);
  if (result != SheetResult::Written) {
    // Frees without writing anything.
    lxw_workbook_free(workbook);
    if (result == SheetResult::Cancelled) error = "cancelled";
    return false;
  }
  errno = 0;
  const lxw_error closed = workbook_close(workbook);
  if (closed != LXW_NO_ERROR) {
    error = xlsx_failure_reason(closed, errno);
    return false;
  }
  return true;
}

}  // namespace tarvo
