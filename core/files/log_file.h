#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/text_log.h"
#include "files/work_progress.h"
#include "log/reading_log.h"

namespace tarvo {

// A log read from a file: a text log, or the readings of a session file.
struct LoadedLog {
  std::vector<real_Record> records;
  bool from_session = false;
};

// Reads a text log or a session file, told apart by the session's first
// line. A session without a reading is refused, as a text log of none is.
std::optional<LoadedLog> LoadLogFile(const std::filesystem::path& file,
                                     const std::string& decimal_separator,
                                     const ExportProgress& progress = {},
                                     LoadError* error = nullptr);

}  // namespace tarvo
