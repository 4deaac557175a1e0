#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "files/file_types.h"
#include "files/note_column.h"
#include "files/sheet_pages.h"
#include "log/reading_log.h"

namespace tarvo {

// Writes records 1..count of the log as a spreadsheet: sheets "page 1",
// "page 2", ... of 65500 records below the grid's titles (.xls and .xlsx), or
// one table (.csv). The file is replaced only once the new one is complete, so
// a failed or cancelled export leaves an earlier file as it was. progress, when
// given, hears of the records written and may cancel. On failure returns false
// and, when error is given, says why in plain words. .csv and .xlsx add the
// numbers in base units after the grid's columns; decimal_separator is the
// one the record's numbers carry. notes, when the log has any, become the
// last column of .csv and .xlsx; .xls keeps the grid's columns only.
bool ExportSpreadsheet(const ReadingLog& log, const std::filesystem::path& file,
                       SpreadsheetFormat format, const ExportProgress& progress = {},
                       std::string* error = nullptr, std::string_view decimal_separator = ".",
                       const NoteColumn& notes = {});

}  // namespace tarvo
