#include "files/spreadsheet_export.h"

#include "files/atomic_file.h"
#include "files/atomic_file_stream.h"
#include "files/csv_writer.h"
#include "files/xls_writer.h"
#include "files/xlsx_writer.h"

namespace tarvo {

namespace {

// .xls and .csv stream into the file itself, so that a refused write
// keeps the system's reason.
bool write_stream_file(const ReadingLog& log, AtomicFile& file, SpreadsheetFormat format,
                       const ExportProgress& progress, std::string& error,
                       std::string_view decimal_separator, const NoteColumn& notes) {
  AtomicFileStream out(file);
  const bool written = format == SpreadsheetFormat::Xls
                           ? write_xls(log, out, progress, error)
                           : write_csv(log, out, progress, error, decimal_separator, notes);
  out.flush();
  if (!file.ok()) error = file.error();
  return written && file.ok();
}

bool write_file(const ReadingLog& log, AtomicFile& file, SpreadsheetFormat format,
                const ExportProgress& progress, std::string& error,
                std::string_view decimal_separator, const NoteColumn& notes) {
  if (format == SpreadsheetFormat::Xlsx) {
    return write_xlsx(log, file.temp_path(), progress, error, decimal_separator, notes);
  }
  return write_stream_file(log, file, format, progress, error, decimal_separator, notes);
}

}  // namespace

bool ExportSpreadsheet(const ReadingLog& log, const std::filesystem::path& file,
                       SpreadsheetFormat format, const ExportProgress& progress, std::string* error,
                       std::string_view decimal_separator, const NoteColumn& notes) {
  std::string failure;
  AtomicFile out(file);
  bool saved =
      out.ok() && write_file(log, out, format, progress, failure, decimal_separator, notes);
  if (saved && !out.commit()) {
    failure = out.error();
    saved = false;
  } else if (!out.ok() && failure.empty()) {
    failure = out.error();
  }
  if (!saved && error != nullptr) *error = failure;
  return saved;
}

}  // namespace tarvo
