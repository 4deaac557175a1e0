#pragma once

#include <cstdint>
#include <vector>

#include "files/note_column.h"
#include "files/session_file.h"
#include "log/reading_log.h"

namespace tarvo {

// The newest reading logged at or before the moment; 0 when the first came
// later. Moments are compared as local wall-clock times, as the session's
// events give them, and the readings' times are taken to rise through the
// log.
std::int64_t reading_at_or_before(const ReadingLog& log, const LocalTime& when);

// An excursion of a session file over its readings: from the first reading
// outside to the last one before the reading that ended it; `last` is 0 for
// one that had not ended when the file did.
struct ReadingExcursion {
  std::int64_t first = 0;
  std::int64_t last = 0;
  friend bool operator==(const ReadingExcursion&, const ReadingExcursion&) = default;
};

// What a session's events mark on its readings: the notes at the reading of
// their moment, and each excursion outside a limit (not the silences of the
// stale-data alarm, which have no reading to shade) from the reading its
// start names to the one before the reading at its end.
struct SessionMarks {
  std::vector<ReadingNote> notes;
  std::vector<ReadingExcursion> excursions;
};
SessionMarks session_marks(const ReadingLog& log, const std::vector<SessionEventEntry>& events);

}  // namespace tarvo
