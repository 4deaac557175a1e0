#pragma once

// The combined readings of several meters as a spreadsheet:
//
//   Time,A,A Unit,B,B Unit,P,P Unit
//   2026-12-09T14:03:37+01:00,12.001,V,0.5003,A,6.0041003,W
//
// .csv: UTF-8 with a byte-order mark, lines ended by CR LF, numbers with "."
// and an empty field where a value is missing. .xlsx: one worksheet, the time
// as a date-time cell of the first meter's local time, the values as numbers
// and no cell where a value is missing.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "combine/combined_rows.h"

namespace tarvo {

enum class CombinedFormat { Csv, Xlsx };

// By the file's extension; none for any but .csv and .xlsx.
std::optional<CombinedFormat> combined_format_of(const std::filesystem::path& file);

// Writes every row that is left.
void write_combined_csv(CombinedRows& rows, std::ostream& out);

// Replaces file whole or leaves it as it was; error says why not. A UnitError
// of the rows goes on to the caller and leaves the file as it was too.
bool save_combined(CombinedRows& rows, const std::filesystem::path& file, CombinedFormat format,
                   std::string& error);

}  // namespace tarvo
