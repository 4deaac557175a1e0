#pragma once

// Comma-separated values of a reading log (RFC 4180), for any spreadsheet.
//
//   EF BB BF                                   UTF-8 byte-order mark
//   Index,Time,Main,Main_Range,Sub,Sub_Range,DateTime,Value,Unit,Overload,Sub Value,Sub Unit,
//   Frames,Frame Min,Frame Max,Frame Mean,Event
//   1,09:05:03,-12.345,DCV AUTO 50.000 V,,,2026-12-09T09:05:03,-12.345,V,0,,,,,,,
// The grid's six columns hold the record's texts as they are; the six after
// them hold the numbers in base units, always with "." as the decimal point,
// and the overload as 0 or 1; then the frames' figures, and the event: "gap"
// for the first reading after the meter came back, "test frame" for a frame
// typed by hand. A log with notes has one column more, the Note column (see
// NoteColumn), empty on the rows of readings without a note.
// Every line ends with CR LF. A field holding a comma, a double quote, CR or
// LF is enclosed in double quotes, and its double quotes are doubled. The
// log is not split into pages.

#include <ostream>
#include <string>

#include "files/note_column.h"
#include "files/sheet_pages.h"
#include "log/reading_log.h"

namespace tarvo {

// The field as it stands in a line: quoted when it has to be.
void append_csv_field(std::string& line, std::string_view text);

// Writes the whole file to out. False when cancelled through progress or when
// out fails; error says which.
// decimal_separator is the one the record's numbers carry.
bool write_csv(const ReadingLog& log, std::ostream& out, const ExportProgress& progress,
               std::string& error, std::string_view decimal_separator = ".",
               const NoteColumn& notes = {});

}  // namespace tarvo
