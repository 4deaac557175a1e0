#include "files/session_store.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "files/session_writer.h"

namespace tarvo {

namespace {

bool removable(const SessionSummary& s) {
  return !session_in_use(s.path);
}

void remove_session(const SessionSummary& s, std::size_t& removed) {
  std::error_code ec;
  if (std::filesystem::remove(s.path, ec)) ++removed;
}

}  // namespace

std::filesystem::path default_session_folder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  std::filesystem::path base;
  if (state != nullptr && std::filesystem::path(state).is_absolute()) {
    base = state;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home != nullptr ? home : ".") / ".local" / "state";
  }
  return base / "tarvo" / "sessions";
}

std::filesystem::path session_file_name(const LocalTime& t, int attempt) {
  char name[96];
  std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  std::string text = name;
  if (attempt > 0) text += "-" + std::to_string(attempt + 1);
  return text + std::string(kSessionExtension);
}

std::vector<SessionSummary> list_sessions(const std::filesystem::path& folder) {
  std::vector<SessionSummary> sessions;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().extension() != kSessionExtension) continue;
    if (std::optional<SessionSummary> summary = SummarizeSession(entry.path())) {
      sessions.push_back(std::move(*summary));
    }
  }
  // The names are the start times, and the number after a second's first
  // session counts on: "-10" after "-9" needs the natural order.
  std::sort(sessions.begin(), sessions.end(), [](const SessionSummary& a, const SessionSummary& b) {
    const std::string x = a.path.filename().string(), y = b.path.filename().string();
    return x.size() != y.size() && x.substr(0, 15) == y.substr(0, 15) ? x.size() > y.size() : x > y;
  });
  return sessions;
}

std::int64_t days_between(const LocalTime& a, const LocalTime& b) {
  return days_from_civil(b.year, b.month, b.day) - days_from_civil(a.year, a.month, a.day);
}

PruneOutcome prune_sessions(const std::filesystem::path& folder, const LocalTime& now,
                            const SessionRetention& rule) {
  std::vector<SessionSummary> sessions = list_sessions(folder);
  PruneOutcome outcome;
  const auto young_unsaved = [&](const SessionSummary& s) {
    return s.state != SessionState::Saved &&
           days_between(s.header.started, now) < rule.unsaved_days;
  };
  std::vector<SessionSummary> kept;
  for (std::size_t i = 0; i < sessions.size(); ++i) {
    const SessionSummary& s = sessions[i];
    if (i < rule.newest_kept || young_unsaved(s) || !removable(s)) {
      kept.push_back(s);
    } else {
      remove_session(s, outcome.removed);
    }
  }
  std::uint64_t total = 0;
  for (const SessionSummary& s : kept) total += s.disk_bytes;
  // Over the size: the oldest saved ones first, then the oldest unsaved ones
  // that are 30 days old; a young unsaved session is never removed unasked.
  for (const bool saved_only : {true, false}) {
    for (auto it = kept.rbegin(); it != kept.rend() && total > rule.most_bytes; ++it) {
      const bool candidate = saved_only ? it->state == SessionState::Saved : !young_unsaved(*it);
      if (it->disk_bytes == 0 || !candidate || !removable(*it)) continue;
      total -= it->disk_bytes;
      remove_session(*it, outcome.removed);
      it->disk_bytes = 0;
    }
  }
  outcome.kept_bytes = total;
  outcome.over_limit = total > rule.most_bytes;
  return outcome;
}

}  // namespace tarvo
