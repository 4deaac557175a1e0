#pragma once

// Office Open XML workbook (.xlsx) of a reading log, made by libxlsxwriter in
// constant-memory mode: rows go to disk as they are written, so memory stays
// flat however long the log. The sheets and the first six columns are those of
// the .xls file: one worksheet per page, the titles in row 1, the index as a
// number, the texts as inline strings, no cell for an empty text. Ten columns
// follow for charting: DateTime as a date-time cell shown with seconds, Value
// and Sub Value as number cells in base units (no cell when the display shows
// no number), Unit and Sub Unit as texts, Overload as the number 0 or 1, then
// the frames of the reading's interval as numbers: their count, and their
// lowest, highest and mean main value in Unit; then Event, and for a log with
// notes the Note column, a text cell on the rows of readings with a note.

#include <filesystem>
#include <string>

#include "files/note_column.h"
#include "files/sheet_pages.h"
#include "log/reading_log.h"

namespace tarvo {

// Creates file (replacing it). False when cancelled through progress or when
// the library reports an error; error says which. A cancelled or failed
// export may leave a partial file for the caller to remove.
// decimal_separator is the one the record's numbers carry.
bool write_xlsx(const ReadingLog& log, const std::filesystem::path& file,
                const ExportProgress& progress, std::string& error,
                std::string_view decimal_separator = ".", const NoteColumn& notes = {});

}  // namespace tarvo
