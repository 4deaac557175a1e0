#include "files/session_marks.h"

#include <gtest/gtest.h>

#include "sheet_test_log.h"

namespace tarvo {
namespace {

using namespace sheet_test;

LocalTime at(int minute, int second, int millisecond = 0, int offset = 60) {
  return {2026, 12, 9, 14, minute, second, millisecond, offset};
}

// Ten readings, one a second from 14:05:00+01:00.
ReadingLog ten_readings() {
  std::vector<real_Record> records;
  for (int n = 1; n <= 10; ++n) {
    real_Record r = record(n, "", "1.0000", "DCV AUTO 5.0000 V");
    r.DateTime = at(5, n - 1);
    r.Dated = true;
    records.push_back(r);
  }
  return log_of(std::move(records));
}

TEST(ReadingAtOrBefore, IsTheNewestReadingNotLaterThanTheMoment) {
  const ReadingLog log = ten_readings();
  const struct {
    LocalTime when;
    std::int64_t reading;
  } cases[] = {
      {at(4, 59, 999), 0}, {at(5, 0), 1},       {at(5, 3), 4},
      {at(5, 3, 999), 4},  {at(5, 3, 0, 0), 4},  // an event's time, which carries no offset
      {at(5, 9), 10},      {at(7, 0), 10},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reading_at_or_before(log, c.when), c.reading) << format_iso_offset(c.when);
  }
  EXPECT_EQ(reading_at_or_before(ReadingLog(), at(5, 3)), 0);
}

SessionEventEntry event(SessionEvent kind, LocalTime when, std::vector<std::string> details) {
  return {kind, when, std::move(details)};
}

TEST(SessionMarks, NotesAndExcursionsStandAtTheirReadings) {
  const ReadingLog log = ten_readings();
  const std::vector<SessionEventEntry> events = {
      event(SessionEvent::Note, at(4, 59), {"before"}),
      event(SessionEvent::AlarmStart, at(5, 5), {"high", "5", "V", "2026-12-09T14:05:02+01:00"}),
      event(SessionEvent::Note, at(5, 3, 500), {"probe moved"}),
      event(SessionEvent::AlarmStart, at(5, 6), {"stale", "5", "s", "2026-12-09T14:05:00+01:00"}),
      event(SessionEvent::AlarmEnd, at(5, 6, 100),
            {"stale", "6", "s", "2026-12-09T14:05:06+01:00"}),
      event(SessionEvent::AlarmEnd, at(5, 7, 200),
            {"high", "5.2", "V", "2026-12-09T14:05:04+01:00"}),
      event(SessionEvent::MeterLost, at(5, 8), {}),
      // Not ended when the file was: it lasts to the end.
      event(SessionEvent::AlarmStart, at(5, 9), {"low", "1", "V", "2026-12-09T14:05:08+01:00"}),
      event(SessionEvent::Note, at(6, 0), {"after"}),
  };
  const SessionMarks marks = session_marks(log, events);
  EXPECT_EQ(marks.notes,
            (std::vector<ReadingNote>{{0, "before"}, {4, "probe moved"}, {10, "after"}}));
  EXPECT_EQ(marks.excursions, (std::vector<ReadingExcursion>{{3, 7}, {9, 0}}));
}

// A start without the moment of its first reading starts at its own moment;
// an end the same second the excursion began still covers its first reading;
// an end without its start is no excursion.
TEST(SessionMarks, OddAlarmEventsGiveSoundBands) {
  const ReadingLog log = ten_readings();
  const std::vector<SessionEventEntry> events = {
      event(SessionEvent::AlarmEnd, at(5, 1), {"high", "5.2", "V", "x"}),
      event(SessionEvent::AlarmStart, at(5, 2), {"high", "5", "V"}),
      event(SessionEvent::AlarmEnd, at(5, 2, 10), {"high", "5.2", "V", "x"}),
      event(SessionEvent::AlarmStart, at(4, 0), {"low", "1", "V", "not a time"}),
  };
  EXPECT_EQ(session_marks(log, events).excursions, (std::vector<ReadingExcursion>{{3, 3}, {1, 0}}));
}

// The events as a session file holds them.
TEST(SessionMarks, ReadFromASessionFile) {
  std::string text = session_header_text({at(5, 0), "bench", 1, "."});
  ReadingLog log = ten_readings();
  for (std::int64_t n = 1; n <= log.count(); ++n) {
    text += session_reading_line(log[n]);
    if (n == 3) text += session_event_line(SessionEvent::Note, at(5, 2, 400), "C12\tback");
  }
  const std::optional<SessionContents> session = ParseSession(text, ".");
  ASSERT_TRUE(session);
  EXPECT_EQ(session_marks(log, session->event_entries).notes,
            (std::vector<ReadingNote>{{3, "C12\tback"}}));
}

}  // namespace
}  // namespace tarvo
