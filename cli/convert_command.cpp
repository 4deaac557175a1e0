#include "convert_command.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <locale>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "files/file_types.h"
#include "files/log_file.h"
#include "files/session_marks.h"
#include "files/spreadsheet_export.h"
#include "files/text_log.h"
#include "i18n/language_table.h"
#include "i18n/text_numbers.h"
#include "options.h"

namespace tarvo::cli {

namespace {

constexpr std::string_view kPrefix = "tarvo-cli convert: ";
std::string english_text(int number) {
  return LanguageTable().text(LanguageTable::kEnglish, number);
}

// convert writes what holds the readings; a picture is tarvo-cli chart's.
constexpr std::initializer_list<FileWriter> kConvertWriters = {FileWriter::TextLog,
                                                               FileWriter::Spreadsheet};

const FileType* converted_type(const std::filesystem::path& file) {
  const FileType* type = file_type_of(file);
  if (type == nullptr ||
      std::ranges::find(kConvertWriters, type->writer) == kConvertWriters.end()) {
    return nullptr;
  }
  return type;
}

// A session's notes go into the Note column of .csv and .xlsx, each at the
// newest reading of its moment, as the window placed them when it was taken.
bool write_out(const OpenedLog& in, const std::filesystem::path& file, const FileType& type,
               std::string_view separator, std::string& error) {
  if (type.writer == FileWriter::TextLog) return SaveTextLog(in.log, file, &error);
  const NoteColumn notes(english_text(kTextNoteColumn), session_marks(in.log, in.events).notes,
                         in.log.count());
  return ExportSpreadsheet(in.log, file, type.sheet, {}, &error, separator, notes);
}

}  // namespace

LogFileArgs read_log_file_args(const std::vector<std::string>& args) {
  LogFileArgs a;
  std::vector<std::filesystem::path> files;
  std::optional<std::string> separator;
  OptionReader r(args);
  while (!r.done()) {
    if (auto sep = r.take_decimal_separator()) {
      separator = *sep;
    } else {
      files.emplace_back(r.take_positional());
    }
  }
  if (files.size() != 2) throw UsageError("give the file to read and the file to write");
  a.in = files[0];
  a.out = files[1];
  a.separator = separator.value_or(environment_decimal_separator());
  return a;
}

std::string environment_decimal_separator() {
  for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    try {
      return std::string(1,
                         std::use_facet<std::numpunct<char>>(std::locale(value)).decimal_point());
    } catch (const std::runtime_error&) {
      return ".";
    }
  }
  return ".";
}

std::optional<ReadingLog> load_in_file(const LogFileArgs& a, std::string_view prefix,
                                       std::ostream& err) {
  std::optional<OpenedLog> opened = open_in_file(a, prefix, err);
  if (!opened) return std::nullopt;
  return std::move(opened->log);
}

std::optional<OpenedLog> open_in_file(const LogFileArgs& a, std::string_view prefix,
                                      std::ostream& err) {
  LoadError why;
  std::optional<OpenedLog> opened = OpenLogFile(a.in, a.separator, {}, &why);
  if (opened) return opened;
  err << prefix << a.in.string() << ": ";
  if (why.failure == LoadFailure::Missing) {
    err << english_text(kTextFileMissing) << '\n';
  } else {
    err << english_text(kTextWrongFormat) << " (" << why.reason << ")\n";
  }
  return std::nullopt;
}

int run_convert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  LogFileArgs a;
  const FileType* type = nullptr;
  try {
    a = read_log_file_args(args);
    type = converted_type(a.out);
    if (type == nullptr) {
      throw UsageError("the file to write must end in " + extensions_written_by(kConvertWriters));
    }
  } catch (const UsageError& e) {
    err << kPrefix << e.what() << '\n';
    return 2;
  }
  const std::optional<OpenedLog> in = open_in_file(a, kPrefix, err);
  if (!in) return 1;
  const ReadingLog& log = in->log;
  std::string error;
  if (!write_out(*in, a.out, *type, a.separator, error)) {
    err << kPrefix << a.out.string() << ": " << english_text(kTextSaveFailed) << " (" << error
        << ")\n";
    return 1;
  }
  out << log.count() << " records written to " << a.out.string() << '\n';
  return 0;
}

}  // namespace tarvo::cli
