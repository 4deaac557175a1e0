#pragma once

#include <cstdint>
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

// Why a text log was refused, for messages that say more than "wrong format".
enum class LoadFailure {
  None,
  Missing,         // no such file (or no file name at all)
  NoPermission,    // the file cannot be opened for reading
  NotRegularFile,  // a folder, device, pipe or socket
  TooLarge,        // larger than kLargestTextLogBytes
  ReadFailed,      // the system failed to read it
  OutOfMemory,     // its records do not fit the memory
  Cancelled,       // the progress callback asked to stop
  WrongFormat,     // the bytes are not a valid text log
};

enum class OpenFailure;
// What a file that would not open means to a reader of logs.
LoadFailure load_failure_of(OpenFailure failure);

struct LoadError {
  LoadFailure failure = LoadFailure::None;
  std::string reason;  // plain English words, without the file name
};

// The largest file that can hold a valid log, refused unread beyond it. A log
// holds at most 2^31 - 1 records (its count line is a 32-bit number), and a
// record line carries at most an index of 11 characters, a TAB, the 100
// characters the reader looks at and a line break: 114 characters of at most
// 4 bytes each in any of the encodings read (UTF-8, UTF-16, GB18030). Around
// them stand a byte-order mark, the count line and two empty lines.
inline constexpr std::uint64_t kLongestRecordLineBytes = 114 * 4;
inline constexpr std::uint64_t kLargestTextLogBytes =
    3 + 12 * 4 + 2147483647ull * kLongestRecordLineBytes + 4 * 4;

// Reads and checks a whole text log. Every record must be valid; numbers are
// read with decimal_separator. nullopt for a refused file (the caller's log is
// untouched; error, when given, says why); otherwise the records in file order,
// ready for ReadingLog::replace. Only regular files are read, and they are read
// in pieces, so memory holds the records and not the file. progress, when
// given, hears of the records checked and may cancel, which refuses the file.
std::optional<std::vector<real_Record>> LoadTextLog(const std::filesystem::path& file,
                                                    const std::string& decimal_separator,
                                                    const ExportProgress& progress = {},
                                                    LoadError* error = nullptr);

class RecordSink;
// LoadTextLog with each record put into the sink as it is read: straight into
// a log, the records are never held twice. False for a refused file, whose
// records read so far the sink then holds.
bool ReadTextLogRecords(const std::filesystem::path& file, std::string_view decimal_separator,
                        RecordSink& records, const ExportProgress& progress = {},
                        LoadError* error = nullptr);

// The reading and checking of LoadTextLog, on the bytes of a file.
std::optional<std::vector<real_Record>> ParseTextLog(std::string_view bytes,
                                                     std::string_view decimal_separator,
                                                     const ExportProgress& progress = {},
                                                     LoadError* error = nullptr);

// The bytes of a text log in the pieces SaveTextLog writes them: the count line,
// then blocks of up to 100 record lines. Stops at the first piece the sink
// refuses and returns false then.
using TextLogSink = std::function<bool(std::string_view)>;
bool WriteTextLog(const ReadingLog& log, const TextLogSink& sink,
                  const ExportProgress& progress = {});

// The whole file SaveTextLog would write, in memory.
std::string TextLogBytes(const ReadingLog& log);

}  // namespace tarvo
