#include "files/session_marks.h"

#include <algorithm>

namespace tarvo {

namespace {

constexpr std::size_t kAlarmWhat = 0;
constexpr std::size_t kAlarmBegan = 3;  // the first reading outside

// A start names the first reading outside; one written by hand without it
// falls back on the moment of the event itself.
std::int64_t first_outside(const ReadingLog& log, const SessionEventEntry& start) {
  LocalTime began;
  if (start.details.size() <= kAlarmBegan || !parse_iso_local(start.details[kAlarmBegan], began)) {
    began = start.when;
  }
  return std::max<std::int64_t>(reading_at_or_before(log, began), 1);
}

// The clock on the wall, whatever the offset: a session's event lines give
// their local time without one, its reading lines with it.
double wall_clock_seconds(LocalTime t) {
  t.utc_offset_minutes = 0;
  return epoch_seconds(t);
}

bool is_stale(const SessionEventEntry& event) {
  return !event.details.empty() && event.details[kAlarmWhat] == "stale";
}

}  // namespace

std::int64_t reading_at_or_before(const ReadingLog& log, const LocalTime& when) {
  const double moment = wall_clock_seconds(when);
  std::int64_t low = 0, high = log.count();  // reading `low` is at or before; high + 1 after
  while (low < high) {
    const std::int64_t mid = low + (high - low + 1) / 2;
    const real_Record& record = log[mid];
    if (!record.Dated || wall_clock_seconds(record.DateTime) <= moment) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  return low;
}

SessionMarks session_marks(const ReadingLog& log, const std::vector<SessionEventEntry>& events) {
  SessionMarks marks;
  bool open = false;
  for (const SessionEventEntry& event : events) {
    if (event.kind == SessionEvent::Note && !event.details.empty()) {
      marks.notes.push_back({reading_at_or_before(log, event.when), event.details[0]});
    } else if (event.kind == SessionEvent::AlarmStart && !is_stale(event)) {
      marks.excursions.push_back({first_outside(log, event), 0});
      open = true;
    } else if (event.kind == SessionEvent::AlarmEnd && !is_stale(event) && open) {
      ReadingExcursion& excursion = marks.excursions.back();
      excursion.last = std::max(reading_at_or_before(log, event.when) - 1, excursion.first);
      open = false;
    }
  }
  return marks;
}

}  // namespace tarvo
