#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/text_log.h"
#include "log/local_time.h"
#include "log/reading_log.h"

namespace tarvo {

// A session file: the readings of one acquisition as they were committed,
// appended one line at a time, so whatever ends the program leaves every
// committed reading on disk. The format is described in docs/session-file.md.

inline constexpr std::string_view kSessionExtension = ".tarvo-session";

struct SessionHeader {
  LocalTime started;          // with the zone's offset
  std::string family;         // "bench" or "compact"
  std::int64_t interval = 1;  // seconds between readings
  std::string decimal_separator = ".";
  // Shared by the sessions recorded side by side; empty when there was none.
  std::string group = {};
};

enum class SessionEvent {
  MeterLost,
  MeterBack,
  Stopped,
  Saved,
  OutsideLimits,
  AlarmStart,  // what (high, low, stale), the limit, its unit, when it began
  AlarmEnd,    // what, the extreme (or the silence in seconds), its unit, when it was
  Note,        // the user's text
  Armed,       // the condition conditional recording waits for
  Triggered,   // the condition that started it
};

// How many fields follow an event's name on its line.
std::size_t session_event_details(SessionEvent event);

// Unfinished: still written, or ended without a word (a crash, a kill, a power
// cut). Stopped: Stop or the end of a recording. Saved: the log was saved
// after its last reading.
enum class SessionState { Unfinished, Stopped, Saved };

std::string_view session_state_name(SessionState state);  // "unfinished", ...

// The lines the writer appends, each with its line break.
std::string session_header_text(const SessionHeader& header);
std::string session_reading_line(const real_Record& record);
std::string session_event_line(SessionEvent event, const LocalTime& when,
                               std::string_view detail = {});
// An event of several fields; there must be session_event_details(event).
std::string session_event_line(SessionEvent event, const LocalTime& when,
                               const std::vector<std::string>& details);

struct SessionEventEntry {
  SessionEvent kind = SessionEvent::Stopped;
  LocalTime when;
  std::vector<std::string> details;
};

struct SessionContents {
  SessionHeader header;
  std::vector<real_Record> records;  // ready for ReadingLog::replace
  SessionState state = SessionState::Unfinished;
  std::vector<std::pair<SessionEvent, std::string>> events;  // kind and first detail
  std::vector<SessionEventEntry> event_entries;              // the same, whole
};

// Reads a whole session file. A last line without its line break (cut by a
// crash) is ignored; any other line that is not a session line refuses the
// file. The texts are given the decimal separator of this run.
std::optional<SessionContents> ReadSession(const std::filesystem::path& file,
                                           std::string_view decimal_separator,
                                           LoadError* error = nullptr);
// ReadSession with each reading put into the sink as it is read (the
// contents' records stay empty): straight into a log, the readings are never
// held twice. progress hears of the bytes read as readings of about 100 bytes
// and may cancel, which refuses the file.
class RecordSink;
std::optional<SessionContents> ReadSessionRecords(const std::filesystem::path& file,
                                                  std::string_view decimal_separator,
                                                  RecordSink& records,
                                                  const ExportProgress& progress = {},
                                                  LoadError* error = nullptr);
std::optional<SessionContents> ParseSession(std::string_view bytes,
                                            std::string_view decimal_separator,
                                            LoadError* error = nullptr);

// What a list of sessions shows, read from two ends of the file only: its
// first 4 KiB for the header, and its last 64 KiB for the last reading, or
// the last 4 MiB when events alone fill those. However long the session, a
// summary reads no more than that; a file whose last 4 MiB hold no reading (a
// damaged one) gives its readings as 0. Only regular files are read, never
// through a link.
struct SessionSummary {
  std::filesystem::path path;
  SessionHeader header;
  std::int64_t readings = 0;
  std::optional<LocalTime> last_reading;
  SessionState state = SessionState::Unfinished;
  std::uint64_t bytes = 0;
  std::uint64_t disk_bytes = 0;  // what it takes on the disk: less when it is sparse
};
std::optional<SessionSummary> SummarizeSession(const std::filesystem::path& file);

// Whether the file starts as a session file does (its version line). A link
// is followed; a FIFO or a device is no session and is not waited on.
bool LooksLikeSession(const std::filesystem::path& file);

}  // namespace tarvo
