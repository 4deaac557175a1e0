#include "combine/combined_file.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "files/atomic_file.h"
#include "files/atomic_file_stream.h"
#include "files/csv_writer.h"
#include "files/file_types.h"
#include "files/xlsx_library.h"

namespace tarvo {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::vector<std::string> column_titles(const CombinedRows& rows) {
  std::vector<std::string> titles{"Time"};
  for (const std::string& c : rows.channels()) {
    titles.push_back(c);
    titles.push_back(c + " Unit");
  }
  return titles;
}

std::string csv_line(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    append_csv_field(line, fields[i]);
  }
  line += kLineEnd;
  return line;
}

std::vector<std::string> row_fields(const CombinedRow& row) {
  std::vector<std::string> fields{format_iso_offset(row.time)};
  for (const CombinedCell& c : row.cells) {
    fields.push_back(c.value ? c.text : std::string());
    fields.push_back(c.unit);
  }
  return fields;
}

class XlsxSheet {
 public:
  XlsxSheet(lxw_worksheet* sheet, lxw_format* date_time) : sheet_(sheet), date_time_(date_time) {}

  bool text(lxw_row_t row, lxw_col_t column, const std::string& text) {
    return text.empty() || ok(worksheet_write_string(sheet_, row, column, text.c_str(), nullptr));
  }
  bool number(lxw_row_t row, lxw_col_t column, const std::optional<double>& value) {
    return !value || ok(worksheet_write_number(sheet_, row, column, *value, nullptr));
  }
  bool time(lxw_row_t row, const LocalTime& t) {
    lxw_datetime moment{t.year, t.month,  t.day,
                        t.hour, t.minute, t.second + static_cast<double>(t.millisecond) / 1000};
    return ok(worksheet_write_datetime(sheet_, row, 0, &moment, date_time_));
  }
  const std::string& failure() const { return failure_; }

 private:
  bool ok(lxw_error result) {
    if (result == LXW_NO_ERROR) return true;
    failure_ = xlsx_failure_reason(result, errno);
    return false;
  }

  lxw_worksheet* sheet_;
  lxw_format* date_time_;
  std::string failure_;
};

bool write_rows(XlsxSheet& out, CombinedRows& rows) {
  const std::vector<std::string> titles = column_titles(rows);
  for (std::size_t c = 0; c < titles.size(); ++c) {
    if (!out.text(0, static_cast<lxw_col_t>(c), titles[c])) return false;
  }
  lxw_row_t r = 1;
  CombinedRow row;
  while (rows.next(row)) {
    if (!out.time(r, row.time)) return false;
    lxw_col_t c = 1;
    for (const CombinedCell& cell : row.cells) {
      if (!out.number(r, c, cell.value) || !out.text(r, c + 1, cell.unit)) return false;
      c += 2;
    }
    ++r;
  }
  return true;
}

struct WorkbookFree {
  void operator()(lxw_workbook* w) const { lxw_workbook_free(w); }
};
using Workbook = std::unique_ptr<lxw_workbook, WorkbookFree>;

bool write_xlsx_file(CombinedRows& rows, const std::filesystem::path& file, std::string& error) {
  const QuietStandardError quiet;
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  errno = 0;
  Workbook workbook(workbook_new_opt(file.string().c_str(), &options));
  lxw_worksheet* sheet = workbook ? workbook_add_worksheet(workbook.get(), "Combined") : nullptr;
  if (sheet == nullptr) {
    error = errno != 0 ? std::strerror(errno) : "the workbook could not be created";
    return false;
  }
  lxw_format* date_time = workbook_add_format(workbook.get());
  format_set_num_format(date_time, "yyyy-mm-dd hh:mm:ss");
  XlsxSheet out(sheet, date_time);
  if (!write_rows(out, rows)) {
    error = out.failure();
    return false;
  }
  // Closing frees it, whatever the outcome.
  errno = 0;
  const lxw_error closed = workbook_close(workbook.release());
  if (closed != LXW_NO_ERROR) error = xlsx_failure_reason(closed, errno);
  return closed == LXW_NO_ERROR;
}

bool write_csv_file(CombinedRows& rows, AtomicFile& file, std::string& error) {
  AtomicFileStream out(file);
  write_combined_csv(rows, out);
  out.flush();
  if (!file.ok()) error = file.error();
  return file.ok();
}

}  // namespace

std::optional<CombinedFormat> combined_format_of(const std::filesystem::path& file) {
  const std::optional<FileFormat> format = file_format_of(file);
  if (format == FileFormat::Csv) return CombinedFormat::Csv;
  if (format == FileFormat::Xlsx) return CombinedFormat::Xlsx;
  return std::nullopt;
}

void write_combined_csv(CombinedRows& rows, std::ostream& out) {
  out << "\xEF\xBB\xBF" << csv_line(column_titles(rows));
  CombinedRow row;
  while (rows.next(row)) out << csv_line(row_fields(row));
}

bool save_combined(CombinedRows& rows, const std::filesystem::path& file, CombinedFormat format,
                   std::string& error) {
  AtomicFile out(file);
  if (!out.ok()) {
    error = out.error();
    return false;
  }
  const bool written = format == CombinedFormat::Xlsx
                           ? write_xlsx_file(rows, out.temp_path(), error)
                           : write_csv_file(rows, out, error);
  if (written && !out.commit()) {
    error = out.error();
    return false;
  }
  return written;
}

}  // namespace tarvo
