#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/session_file.h"
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

// A log file read straight into a log of its own, which the window or a
// command then moves in: the records exist once while the file is read.
// progress hears of a session's bytes too, so a long one shows its progress
// as a long text log does.
struct OpenedLog {
  ReadingLog log;
  bool from_session = false;
  std::vector<SessionEventEntry> events;  // a session's, in the order written
};
std::optional<OpenedLog> OpenLogFile(const std::filesystem::path& file,
                                     std::string_view decimal_separator,
                                     const ExportProgress& progress = {},
                                     LoadError* error = nullptr);

}  // namespace tarvo
