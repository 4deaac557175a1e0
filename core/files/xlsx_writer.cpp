#include "files/xlsx_writer.h"

#include <xlsxwriter.h>

#include "files/utf_text.h"

namespace tarvo {

namespace {

enum class SheetResult { Written, Cancelled, Failed };

class SheetWriter {
 public:
  SheetWriter(lxw_worksheet* sheet, std::string& error) : sheet_(sheet), error_(error) {}

  bool text(lxw_row_t row, lxw_col_t column, std::string_view text) {
    if (text.empty()) return true;
    cell_.clear();
    append_valid_utf8(cell_, text);
    return check(worksheet_write_string(sheet_, row, column, cell_.c_str(), nullptr));
  }

  bool number(lxw_row_t row, lxw_col_t column, double value) {
    return check(worksheet_write_number(sheet_, row, column, value, nullptr));
  }

 private:
  bool check(lxw_error result) {
    if (result == LXW_NO_ERROR) return true;
    error_ = lxw_strerror(result);
    return false;
  }

  lxw_worksheet* sheet_;
  std::string& error_;
  std::string cell_;
};

bool write_record_row(SheetWriter& out, const real_Record& record, lxw_row_t row) {
  if (!out.number(row, 0, static_cast<double>(record.Index))) return false;
  for (std::size_t c = 1; c < kSheetColumns; ++c) {
    if (!out.text(row, static_cast<lxw_col_t>(c), text_cell(record, c))) return false;
  }
  return true;
}

SheetResult write_sheet(lxw_workbook* workbook, const ReadingLog& log, std::int64_t page,
                        ProgressTicker& ticker, std::string& error) {
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, page_name(page).c_str());
  if (sheet == nullptr) {
    error = "the worksheet could not be added";
    return SheetResult::Failed;
  }
  SheetWriter out(sheet, error);
  for (std::size_t c = 0; c < kSheetColumns; ++c) {
    if (!out.text(0, static_cast<lxw_col_t>(c), column_title(c))) return SheetResult::Failed;
  }
  const PageRecords records = page_records(page, log.count());
  for (std::int64_t n = records.first; n <= records.last; ++n) {
    if (!write_record_row(out, log[n], static_cast<lxw_row_t>(n - records.first + 1))) {
      return SheetResult::Failed;
    }
    if (!ticker.record_done()) return SheetResult::Cancelled;
  }
  return SheetResult::Written;
}

SheetResult write_sheets(lxw_workbook* workbook, const ReadingLog& log, ProgressTicker& ticker,
                         std::string& error) {
  if (!ticker.start()) return SheetResult::Cancelled;
  for (std::int64_t page = 1; page <= page_count(log.count()); ++page) {
    const SheetResult result = write_sheet(workbook, log, page, ticker, error);
    if (result != SheetResult::Written) return result;
  }
  return ticker.finish() ? SheetResult::Written : SheetResult::Cancelled;
}

}  // namespace

bool write_xlsx(const ReadingLog& log, const std::filesystem::path& file,
                const ExportProgress& progress, std::string& error) {
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* workbook = workbook_new_opt(file.string().c_str(), &options);
  if (workbook == nullptr) {
    error = "the workbook could not be created";
    return false;
  }
  ProgressTicker ticker(progress, log.count());
  const SheetResult result = write_sheets(workbook, log, ticker, error);
  if (result != SheetResult::Written) {
    // Frees without writing anything.
    lxw_workbook_free(workbook);
    if (result == SheetResult::Cancelled) error = "cancelled";
    return false;
  }
  const lxw_error closed = workbook_close(workbook);
  if (closed != LXW_NO_ERROR) {
    error = lxw_strerror(closed);
    return false;
  }
  return true;
}

}  // namespace tarvo
