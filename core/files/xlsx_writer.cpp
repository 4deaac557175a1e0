#include "files/xlsx_writer.h"

#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/utf_text.h"

namespace tarvo {

namespace {

enum class SheetResult { Written, Cancelled, Failed };

// libxlsxwriter reports its failures on standard error, naming its own source
// files and the temporary path. The caller says why in its own words, so the
// library's lines are dropped while it works. (This holds standard error of
// the whole process for that time: a window's other threads write nothing
// that matters there.)
class QuietStandardError {
 public:
  QuietStandardError() : saved_(::dup(STDERR_FILENO)) {
    std::fflush(stderr);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
    if (null >= 0) ::close(null);
  }
  ~QuietStandardError() {
    std::fflush(stderr);
    if (saved_ < 0) return;
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int saved_;
};

// For the library's failures to create, read or write a file, the system's
// reason that the library leaves in errno says more than its own text.
std::string reason_of(lxw_error result, int system_error) {
  switch (result) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
      if (system_error != 0) return std::strerror(system_error);
      break;
    default:
      break;
  }
  return lxw_strerror(result);
}

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
    error_ = reason_of(result, errno);
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
  const QuietStandardError quiet;
  errno = 0;
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* workbook = workbook_new_opt(file.string().c_str(), &options);
  if (workbook == nullptr) {
    error = errno != 0 ? std::strerror(errno) : "the workbook could not be created";
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
  errno = 0;
  const lxw_error closed = workbook_close(workbook);
  if (closed != LXW_NO_ERROR) {
    error = reason_of(closed, errno);
    return false;
  }
  return true;
}

}  // namespace tarvo
