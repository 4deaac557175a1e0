#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "files/session_file.h"
#include "log/local_time.h"

namespace tarvo {

// $XDG_STATE_HOME/tarvo/sessions, or ~/.local/state/tarvo/sessions.
std::filesystem::path default_session_folder();

// A name for a session started then: its local start, which sorts the names
// by age, and a number when that second already has a session.
std::filesystem::path session_file_name(const LocalTime& started, int attempt);

// The sessions kept in the folder, newest first. Files that are not sessions
// are left out.
std::vector<SessionSummary> list_sessions(const std::filesystem::path& folder);

// Which sessions are kept: the newest newest_kept; besides them every one that
// was not saved and started less than unsaved_days ago; and, as far as that
// allows, no more than most_bytes on the disk in all: beyond it the oldest
// saved ones go first, then the oldest unsaved ones that are unsaved_days old
// or older. A young unsaved session is never removed without asking, even
// when that leaves the folder over the size.
struct SessionRetention {
  std::size_t newest_kept = 200;
  int unsaved_days = 30;
  std::uint64_t most_bytes = std::uint64_t{2} << 30;
};

struct PruneOutcome {
  std::size_t removed = 0;
  std::uint64_t kept_bytes = 0;  // on the disk, after the removals
  bool over_limit = false;       // the young unsaved (or busy) ones alone exceed the size
};

// Removes the sessions the rule lets go, never one that a run is writing.
// now is the moment the ages are counted from.
PruneOutcome prune_sessions(const std::filesystem::path& folder, const LocalTime& now,
                            const SessionRetention& rule = {});

// Whole days from a to b (negative when b is earlier), by their calendars.
std::int64_t days_between(const LocalTime& a, const LocalTime& b);

}  // namespace tarvo
