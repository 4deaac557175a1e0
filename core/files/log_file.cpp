#include "files/log_file.h"

#include "files/record_sink.h"
#include "files/session_file.h"

namespace tarvo {

std::optional<LoadedLog> LoadLogFile(const std::filesystem::path& file,
                                     const std::string& decimal_separator,
                                     const ExportProgress& progress, LoadError* error) {
  if (!LooksLikeSession(file)) {
    std::optional<std::vector<real_Record>> records =
        LoadTextLog(file, decimal_separator, progress, error);
    if (!records) return std::nullopt;
    return LoadedLog{std::move(*records), false};
  }
  std::optional<SessionContents> session = ReadSession(file, decimal_separator, error);
  if (!session) return std::nullopt;
  if (session->records.empty()) {
    if (error) *error = LoadError{LoadFailure::WrongFormat, "the session holds no readings"};
    return std::nullopt;
  }
  // ReadingLog::replace adopts a vector with room for its headroom in place.
  session->records.reserve(session->records.size() + ReadingLog::kLoadedHeadroom);
  return LoadedLog{std::move(session->records), true};
}

std::optional<OpenedLog> OpenLogFile(const std::filesystem::path& file,
                                     std::string_view decimal_separator,
                                     const ExportProgress& progress, LoadError* error) {
  std::optional<OpenedLog> opened(std::in_place);
  LogSink sink(opened->log);
  opened->from_session = LooksLikeSession(file);
  if (!opened->from_session) {
    if (!ReadTextLogRecords(file, decimal_separator, sink, progress, error)) return std::nullopt;
    return opened;
  }
  std::optional<SessionContents> session =
      ReadSessionRecords(file, decimal_separator, sink, progress, error);
  if (!session) return std::nullopt;
  opened->events = std::move(session->event_entries);
  if (opened->log.count() == 0) {
    if (error) *error = LoadError{LoadFailure::WrongFormat, "the session holds no readings"};
    return std::nullopt;
  }
  return opened;
}

}  // namespace tarvo
