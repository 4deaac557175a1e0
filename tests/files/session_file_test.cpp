// Session files: the bytes the writer appends, what the reader makes of a file
// cut anywhere by a crash, the summary of a list, and which sessions are kept.
#include <gtest/gtest.h>

#include <fstream>

#include "files/session_file.h"
#include "files/session_store.h"
#include "files/session_writer.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

using sheet_test::TempFolder;

const LocalTime kStart{2026, 12, 9, 14, 3, 27, 0, 60};

real_Record reading(std::int64_t index, std::string_view main_no = "3.3014") {
  real_Record r;
  r.Index = index;
  const int second = 27 + static_cast<int>(index);
  r.DateTime = {2026, 12, 9, 14 + second / 3600, 3 + second / 60 % 60, second % 60, 0, 60};
  r.Dated = true;
  r.Time.assign(format_hhnnss(r.DateTime));
  r.Main_No.assign(main_no);
  r.Main_Range.assign("DCV AUTO 5.0000 V");
  r.Sub_No.assign("50.00");
  r.Sub_range.assign("Hz");
  return r;
}

std::string head() {
  return session_header_text({kStart, "bench", 10, "."});
}

void write_file(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

TEST(SessionFile, LinesAreTheDocumentedBytes) {
  EXPECT_EQ(head(),
            "tarvo-session\t1\nstarted\t2026-12-09T14:03:27+01:00\nfamily\tbench\ninterval\t10\n"
            "decimal\t.\n");
  EXPECT_EQ(session_reading_line(reading(1)),
            "reading\t1\t2026-12-09T14:03:28+01:00\t14:03:28\t3.3014\tDCV AUTO 5.0000 V\t50.00\tHz"
            "\t0\t\t\t\n");
  real_Record busy = reading(2);
  busy.Frames = {12, 12, 3.2991, 3.3102, 3.30465};
  EXPECT_TRUE(session_reading_line(busy).ends_with("\tHz\t12\t3.2991\t3.3102\t3.30465\n"));
  EXPECT_EQ(ParseSession(head() + session_reading_line(busy), ".")->records[0], busy);
  EXPECT_EQ(session_event_line(SessionEvent::MeterLost, kStart),
            "event\t2026-12-09T14:03:27\tmeter lost\n");
  EXPECT_EQ(session_event_line(SessionEvent::Saved, kStart, "/home/a\tb/log.txt"),
            "event\t2026-12-09T14:03:27\tsaved\t/home/a\\tb/log.txt\n");
}

// Alarms, notes and conditional recording: the bytes of each event, read back
// field for field, and a line with a field too few or too many refused.
TEST(SessionFile, EventsOfSeveralFieldsAreTheDocumentedBytes) {
  struct Case {
    SessionEvent event;
    std::vector<std::string> details;
    std::string line;
  };
  const Case cases[] = {
      {SessionEvent::AlarmStart,
       {"high", "5", "V", "2026-12-09T14:03:20+01:00"},
       "alarm start\thigh\t5\tV\t2026-12-09T14:03:20+01:00"},
      {SessionEvent::AlarmEnd, {"low", "-OL", "V", "x"}, "alarm end\tlow\t-OL\tV\tx"},
      {SessionEvent::AlarmStart, {"stale", "30", "s", ""}, "alarm start\tstale\t30\ts\t"},
      {SessionEvent::Note, {"probe moved\tto C12\\"}, "note\tprobe moved\\tto C12\\\\"},
      {SessionEvent::Armed, {"rises:2.5"}, "armed\trises:2.5"},
      {SessionEvent::Triggered, {"at:07:30"}, "triggered\tat:07:30"},
  };
  for (const Case& c : cases) {
    const std::string line = session_event_line(c.event, kStart, c.details);
    EXPECT_EQ(line, "event\t2026-12-09T14:03:27\t" + c.line + "\n");
    const auto session = ParseSession(head() + line + session_reading_line(reading(1)), ".");
    ASSERT_TRUE(session) << line;
    ASSERT_EQ(session->event_entries.size(), 1u);
    EXPECT_EQ(session->event_entries[0].kind, c.event);
    EXPECT_EQ(session->event_entries[0].details, c.details);
    EXPECT_EQ(session->events[0].second, c.details[0]);
  }
  for (const std::string bad :
       {"event\t2026-12-09T14:03:27\tnote\n", "event\t2026-12-09T14:03:27\talarm end\thigh\t5\tV\n",
        "event\t2026-12-09T14:03:27\tarmed\ta\tb\n"}) {
    EXPECT_FALSE(ParseSession(head() + bad + session_reading_line(reading(1)), ".")) << bad;
  }
}

TEST(SessionFile, ReadsBackWhatWasWrittenInThisRunsDecimalMark) {
  const std::string bytes =
      session_header_text({kStart, "bench", 1, ","}) + session_reading_line(reading(1, "3,3014")) +
      session_reading_line(reading(2, "-\\\t")) + session_event_line(SessionEvent::Stopped, kStart);
  const auto session = ParseSession(bytes, ".");
  ASSERT_TRUE(session);
  EXPECT_EQ(session->header.started, kStart);
  EXPECT_EQ(session->header.interval, 1);
  ASSERT_EQ(session->records.size(), 2u);
  EXPECT_EQ(session->records[0].Main_No.view(), "3.3014");
  EXPECT_EQ(session->records[1].Main_No.view(), "-\\\t");
  EXPECT_EQ(session->records[1].DateTime, reading(2).DateTime);
  EXPECT_EQ(session->state, SessionState::Stopped);
}

// Whatever byte of the last line a crash cut the file at, the readings before
// it are all there and nothing else is.
TEST(SessionFile, TornLastLineIsIgnoredWhereverItWasCut) {
  const std::string whole = head() + session_reading_line(reading(1));
  const std::string last = session_reading_line(reading(2));
  for (std::size_t cut = 0; cut < last.size(); ++cut) {
    const auto session = ParseSession(whole + last.substr(0, cut), ".");
    ASSERT_TRUE(session) << cut;
    EXPECT_EQ(session->records.size(), 1u) << cut;
  }
  EXPECT_EQ(ParseSession(whole + last, ".")->records.size(), 2u);
}

TEST(SessionFile, DamageBeforeTheLastLineRefusesTheFile) {
  const std::string bad[] = {
      head() + "reading\t1\tnot a date\t\t\t\t\t\t0\t\t\t\n" + session_reading_line(reading(2)),
      head() + "reading\t1\t2026-12-09T14:03:28+01:00\t\t\t\t\t\t2\t1\t\t\n" +
          session_reading_line(reading(2)),
      head() + "event\t2026-12-09T14:03:27\texploded\n" + session_reading_line(reading(2)),
      "tarvo-session\t2\n" + head().substr(16) + session_reading_line(reading(1)),
      "3\n1\t14:03:28\t3.3014\tDCV AUTO 5.0000 V\t\t\n",
  };
  for (const std::string& bytes : bad) {
    LoadError why;
    EXPECT_FALSE(ParseSession(bytes, ".", &why)) << bytes;
    EXPECT_EQ(why.failure, LoadFailure::WrongFormat) << bytes;
  }
}

TEST(SessionFile, StateFollowsTheEventsAfterTheLastReading) {
  const std::string stop = session_event_line(SessionEvent::Stopped, kStart);
  const std::string save = session_event_line(SessionEvent::Saved, kStart, "/x.txt");
  const std::string lost = session_event_line(SessionEvent::MeterLost, kStart);
  const std::string r1 = session_reading_line(reading(1)), r2 = session_reading_line(reading(2));
  const std::pair<std::string, SessionState> cases[] = {
      {r1 + lost, SessionState::Unfinished},          {r1 + stop, SessionState::Stopped},
      {r1 + stop + save, SessionState::Saved},        {r1 + save + r2, SessionState::Unfinished},
      {r1 + save + r2 + stop, SessionState::Stopped}, {stop, SessionState::Stopped},
  };
  TempFolder dir;
  for (const auto& [body, state] : cases) {
    EXPECT_EQ(ParseSession(head() + body, ".")->state, state) << body;
    write_file(dir / "s.tarvo-session", head() + body);
    EXPECT_EQ(SummarizeSession(dir / "s.tarvo-session")->state, state) << body;
  }
}

// A typed test frame carries the flag "test" after its figures; the meter's
// readings keep their twelve fields, so files without a test frame read as
// before. The first reading of the meter after its return follows a gap.
TEST(SessionFile, TestFramesAndGapsComeBackAsTheyWereMarked) {
  real_Record test = reading(2, "0.4254");
  test.TestFrame = true;
  EXPECT_EQ(session_reading_line(test),
            "reading\t2\t2026-12-09T14:03:29+01:00\t14:03:29\t0.4254\tDCV AUTO 5.0000 V\t50.00"
            "\tHz\t0\t\t\t\ttest\n");
  real_Record back = reading(3);
  back.AfterGap = true;
  EXPECT_EQ(session_reading_line(back), session_reading_line(reading(3)));

  const std::string lost = session_event_line(SessionEvent::MeterLost, kStart);
  const std::string again = session_event_line(SessionEvent::MeterBack, kStart);
  const struct {
    std::string body;
    std::vector<std::pair<bool, bool>> marks;  // after gap, test frame
  } cases[] = {
      {session_reading_line(reading(1)) + session_reading_line(test),
       {{false, false}, {false, true}}},
      {session_reading_line(reading(1)) + lost + again + session_reading_line(reading(2)) +
           session_reading_line(reading(3)),
       {{false, false}, {true, false}, {false, false}}},
      {session_reading_line(reading(1)) + lost + again + session_reading_line(test) +
           session_reading_line(reading(3)),
       {{false, false}, {false, true}, {true, false}}},
      {session_reading_line(reading(1)) + lost + session_reading_line(reading(2)),
       {{false, false}, {false, false}}},
      // A later writer's flag that this reader does not know is left alone.
      {"reading\t1\t2026-12-09T14:03:28+01:00\t14:03:28\t1\tDCV AUTO 5.0000 V\t\t\t0\t\t\t"
       "\tsoon,test\n",
       {{false, true}}},
  };
  for (const auto& c : cases) {
    const auto session = ParseSession(head() + c.body, ".");
    ASSERT_TRUE(session) << c.body;
    ASSERT_EQ(session->records.size(), c.marks.size()) << c.body;
    for (std::size_t i = 0; i < c.marks.size(); ++i) {
      EXPECT_EQ(session->records[i].AfterGap, c.marks[i].first) << c.body << i;
      EXPECT_EQ(session->records[i].TestFrame, c.marks[i].second) << c.body << i;
    }
  }
  std::string crowded = session_reading_line(reading(1));
  crowded.insert(crowded.size() - 1, "\ttest\tmore");
  EXPECT_FALSE(ParseSession(head() + crowded, "."));
}

// The summary reads the head and the tail only; a long session gives the same
// figures as a full read.
TEST(SessionFile, SummaryOfALongSessionMatchesTheWholeFile) {
  TempFolder dir;
  std::string bytes = head();
  for (int i = 1; i <= 5000; ++i) bytes += session_reading_line(reading(i));
  bytes += session_event_line(SessionEvent::Stopped, kStart) + "reading\t5001\t20";
  write_file(dir / "long.tarvo-session", bytes);
  const auto summary = SummarizeSession(dir / "long.tarvo-session");
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->readings, 5000);
  EXPECT_EQ(summary->last_reading, reading(5000).DateTime);
  EXPECT_EQ(summary->state, SessionState::Stopped);
  EXPECT_EQ(summary->header.family, "bench");
}

// A writer keeps a stopped or saved session open for a later save, and an
// adopted one stays open too: only a session without its end is recording.
TEST(SessionWriter, RecordingIsAnOpenSessionWithoutItsEnd) {
  struct Case {
    const char* name;
    std::string tail;
    bool held;
    bool recording;
  };
  const Case cases[] = {
      {"written by a run", "", true, true},
      {"stopped, kept open for a save", session_event_line(SessionEvent::Stopped, kStart), true,
       false},
      {"saved, kept open", session_event_line(SessionEvent::Saved, kStart, "/tmp/a.txt"), true,
       false},
      {"unfinished, nobody writes it", "", false, false},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    const auto file = dir / "s.tarvo-session";
    std::string why;
    auto writer = SessionWriter::create(file, head(), &why);
    ASSERT_TRUE(writer) << why;
    ASSERT_TRUE(writer->append(session_reading_line(reading(1)) + c.tail));
    if (!c.held) writer.reset();
    const auto summary = SummarizeSession(file);
    ASSERT_TRUE(summary) << c.name;
    EXPECT_EQ(session_recording(*summary), c.recording) << c.name;
  }
}

TEST(SessionWriter, NeverReplacesAFileAndReopensBehindATornLine) {
  TempFolder dir;
  const auto file = dir / "a.tarvo-session";
  std::string why;
  auto writer = SessionWriter::create(file, head(), &why);
  ASSERT_TRUE(writer) << why;
  EXPECT_TRUE(session_in_use(file));
  EXPECT_FALSE(SessionWriter::create(file, head(), &why));
  EXPECT_FALSE(SessionWriter::reopen(file, &why));  // still written here
  ASSERT_TRUE(writer->append(session_reading_line(reading(1)) + "reading\t2\t2026"));
  writer.reset();
  EXPECT_FALSE(session_in_use(file));
  auto again = SessionWriter::reopen(file, &why);
  ASSERT_TRUE(again) << why;
  ASSERT_TRUE(again->append(session_reading_line(reading(2))));
  again.reset();
  const auto session = ReadSession(file, ".");
  ASSERT_TRUE(session);
  EXPECT_EQ(session->records.size(), 2u);
}

struct Kept {
  const char* name;
  SessionState state;
  std::size_t bytes;
  bool kept;
};

// Oldest first; the rule keeps the newest two, unsaved ones younger than 30
// days, and at most 3000 bytes, the oldest saved ones going first.
TEST(SessionStore, PruningKeepsTheNewestTheUnsavedAndTheSize) {
  const Kept cases[] = {
      {"20261001-000000", SessionState::Unfinished, 100, false},  // unsaved, but 69 days old
      {"20261120-000000", SessionState::Saved, 2000, false},      // saved, beyond the newest two
      {"20261121-000000", SessionState::Stopped, 2000, true},     // unsaved and young: kept
      {"20261122-000000", SessionState::Saved, 100, false},       // saved, beyond the newest two
      {"20261208-000000", SessionState::Saved, 2000, false},      // newest two, but over the size
      {"20261209-000000", SessionState::Saved, 100, true},
  };
  TempFolder dir;
  for (const Kept& c : cases) {
    const LocalTime t{std::stoi(std::string(c.name).substr(0, 4)),
                      std::stoi(std::string(c.name).substr(4, 2)),
                      std::stoi(std::string(c.name).substr(6, 2))};
    std::string bytes = session_header_text({t, "bench", 1, "."});
    if (c.state != SessionState::Unfinished) bytes += session_event_line(SessionEvent::Stopped, t);
    if (c.state == SessionState::Saved) bytes += session_event_line(SessionEvent::Saved, t, "/x");
    bytes.resize(std::max(bytes.size(), c.bytes - 1), '#');
    bytes.back() = '\n';
    write_file(dir / (std::string(c.name) + ".tarvo-session"), bytes);
  }
  write_file(dir / "notes.txt", "not a session");
  prune_sessions((dir / "x").parent_path(), {2026, 12, 9, 12}, {2, 30, 3000});
  for (const Kept& c : cases) {
    EXPECT_EQ(std::filesystem::exists(dir / (std::string(c.name) + ".tarvo-session")), c.kept)
        << c.name;
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "notes.txt"));
}

}  // namespace
}  // namespace tarvo
