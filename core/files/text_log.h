#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/work_progress.h"
#include "log/reading_log.h"

namespace tarvo {

// Writes records 1..count of the log as a text log. The file is replaced only
// once the new one is complete, so a failed save never destroys an earlier file.
// On failure returns false and, when error is given, says why in plain words.
// An empty log is not saved: its file could not be opened again. progress,
// when given, hears of the records written and may cancel.
bool SaveTextLog(const ReadingLog& log, const std::filesystem::path& file,
                 std::string* error = nullptr, const ExportProgress& progress = {});

// Reads and checks a whole text log. Every record must be valid; numbers are
// read with decimal_separator. nullopt for a refused file (the caller's log is
// untouched); otherwise the records in file order, ready for ReadingLog::replace.
// progress, when given, hears of the records checked and may cancel, which
// refuses the file too.
std::optional<std::vector<real_Record>> LoadTextLog(const std::filesystem::path& file,
                                                    const std::string& decimal_separator,
                                                    const ExportProgress& progress = {});

// The reading and checking of LoadTextLog, on the bytes of a file.
std::optional<std::vector<real_Record>> ParseTextLog(std::string_view bytes,
                                                     std::string_view decimal_separator,
                                                     const ExportProgress& progress = {});

// The bytes of a text log in the pieces SaveTextLog writes them: the count line,
// then blocks of up to 100 record lines. Stops at the first piece the sink
// refuses and returns false then.
using TextLogSink = std::function<bool(std::string_view)>;
bool WriteTextLog(const ReadingLog& log, const TextLogSink& sink,
                  const ExportProgress& progress = {});

// The whole file SaveTextLog would write, in memory.
std::string TextLogBytes(const ReadingLog& log);

}  // namespace tarvo
