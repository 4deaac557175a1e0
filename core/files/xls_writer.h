#pragma once

// Excel 97-2003 workbook (BIFF8) of a reading log, one worksheet per page.
//
// The "Workbook" stream of a compound file (compound_file.h) holds records
// (type, length, body; see biff_records.h) in substreams:
//   globals  BOF, CODEPAGE (UTF-16), WINDOW1, 4 FONT, 15 style XF + 1 cell XF,
//            STYLE, one BOUNDSHEET per page (name, stream position of the
//            sheet's BOF), SST (+ CONTINUE) with every distinct text, EXTSST,
//            EOF
//   sheet    BOF, WSBOOL, DIMENSIONS, row 0 the titles as LABELSST, then one
//            row per record: NUMBER (the index) and a LABELSST per non-empty
//            text, WINDOW2, EOF
// Empty texts get no cell, as a spreadsheet stores an emptied cell.

#include <ostream>
#include <string>

#include "files/sheet_pages.h"
#include "log/reading_log.h"

namespace tarvo {

// Writes the whole file to out. False when cancelled through progress, when
// the log is too large for the format, or when out fails; error says which.
bool write_xls(const ReadingLog& log, std::ostream& out, const ExportProgress& progress,
               std::string& error);

}  // namespace tarvo
