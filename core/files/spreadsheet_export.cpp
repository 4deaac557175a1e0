#include "files/spreadsheet_export.h"

#include <fstream>

#include "files/atomic_file.h"
#include "files/csv_writer.h"
#include "files/file_extension.h"
#include "files/xls_writer.h"
#include "files/xlsx_writer.h"

namespace tarvo {

namespace {

bool write_stream_file(const ReadingLog& log, const std::filesystem::path& path,
                       SpreadsheetFormat format, const ExportProgress& progress,
                       std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    error = "the file could not be created";
    return false;
  }
  const bool written = format == SpreadsheetFormat::Xls ? write_xls(log, out, progress, error)
                                                        : write_csv(log, out, progress, error);
  out.close();
  if (written && !out) {
    error = "the file could not be written";
    return false;
  }
  return written;
}

bool write_file(const ReadingLog& log, const std::filesystem::path& path, SpreadsheetFormat format,
                const ExportProgress& progress, std::string& error) {
  if (format == SpreadsheetFormat::Xlsx) return write_xlsx(log, path, progress, error);
  return write_stream_file(log, path, format, progress, error);
}

}  // namespace

std::optional<SpreadsheetFormat> spreadsheet_format_of(const std::filesystem::path& file) {
  const std::string extension = lower_extension(file);
  if (extension == ".xls") return SpreadsheetFormat::Xls;
  if (extension == ".xlsx") return SpreadsheetFormat::Xlsx;
  if (extension == ".csv") return SpreadsheetFormat::Csv;
  return std::nullopt;
}

bool ExportSpreadsheet(const ReadingLog& log, const std::filesystem::path& file,
                       SpreadsheetFormat format, const ExportProgress& progress,
                       std::string* error) {
  std::string failure;
  AtomicFile out(file);
  bool saved = out.ok() && write_file(log, out.temp_path(), format, progress, failure);
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
