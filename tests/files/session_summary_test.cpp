// What the list of sessions makes of files that are damaged, huge or not
// files at all, and what the size cap of the kept sessions may remove.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "files/session_file.h"
#include "files/session_keeper.h"
#include "files/session_store.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using sheet_test::TempFolder;

const LocalTime kStart{2026, 12, 9, 14, 3, 27, 0, 60};

std::string head(const LocalTime& started = kStart) {
  return session_header_text({started, "bench", 1, "."});
}

std::string reading_line(std::int64_t index) {
  real_Record r;
  r.Index = index;
  r.DateTime = kStart;
  r.Dated = true;
  r.Main_No.assign("3.3014");
  return session_reading_line(r);
}

// The bytes, then a sparse stretch up to `length` (nothing on the disk).
void write_file(const fs::path& file, std::string_view bytes, std::uint64_t length = 0) {
  std::ofstream(file, std::ios::binary) << bytes;
  if (length > bytes.size()) fs::resize_file(file, length);
}

constexpr std::uint64_t kThirtyGiB = std::uint64_t{30} << 30;

struct Damaged {
  const char* name;
  std::string bytes;
  std::uint64_t length;  // a sparse end up to here, or 0
  std::int64_t readings;
  SessionState state;
};

// None of these is read whole: a header then 30 GiB of zeros is summarised
// from its head and its last 4 MiB, as a crashed file system can leave it.
TEST(SessionSummary, DamagedOrHugeEndsAreSummarisedFromTheirTail) {
  std::string events;
  while (events.size() < 100 * 1024) {
    events += session_event_line(SessionEvent::MeterLost, kStart) +
              session_event_line(SessionEvent::MeterBack, kStart);
  }
  const Damaged cases[] = {
      {"header then zeros", head(), kThirtyGiB, 0, SessionState::Unfinished},
      {"readings then zeros",
       head() + reading_line(1) + reading_line(2) + std::string(100000, '\0'), 0, 2,
       SessionState::Unfinished},
      {"events fill the tail",
       head() + reading_line(1) + events + session_event_line(SessionEvent::Stopped, kStart), 0, 1,
       SessionState::Stopped},
      {"readings then a sparse end", head() + reading_line(1), kThirtyGiB, 0,
       SessionState::Unfinished},
  };
  TempFolder dir;
  for (const Damaged& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = dir / "s.tarvo-session";
    write_file(file, c.bytes, c.length);
    const auto summary = SummarizeSession(file);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->readings, c.readings);
    EXPECT_EQ(summary->state, c.state);
    EXPECT_EQ(summary->bytes, std::max<std::uint64_t>(c.bytes.size(), c.length));
    EXPECT_LT(summary->disk_bytes, std::uint64_t{1} << 20);  // the sparse end costs nothing
    LoadError why;
    if (c.length > 0) {
      EXPECT_FALSE(ReadSession(file, ".", &why));
    }
  }
}

// A start finds the folder with such a file in it and goes on: the file is
// kept (it is young and not saved), and the new session is written.
TEST(SessionSummary, HugeDamagedSessionLeavesStartWorking) {
  TempFolder dir;
  const fs::path folder = dir / "sessions";
  fs::create_directories(folder);
  write_file(folder / "20261209-140000.tarvo-session", head(), kThirtyGiB);
  MeterState s;
  s.model = MeterModel::ModelTarvo;
  SessionKeeper keeper(s, folder, [] { return kStart; });
  std::vector<SessionNotice> told;
  keeper.set_notice_sink([&](SessionNotice n, const std::string&) { told.push_back(n); });
  keeper.acquisition_began();
  ASSERT_FALSE(keeper.path().empty());
  EXPECT_TRUE(told.empty());  // a sparse file takes no room from the cap
  EXPECT_EQ(list_sessions(folder).size(), 2u);
}

// Only regular files are sessions: a FIFO, a device, a folder and links are
// passed over without waiting, and pruning leaves them as they are.
TEST(SessionSummary, OddEntriesAreNeitherReadNorRemoved) {
  TempFolder dir;
  const fs::path elsewhere = dir / "elsewhere.tarvo-session";
  write_file(elsewhere, head());
  const fs::path folder = dir / "sessions";
  fs::create_directories(folder / "folder.tarvo-session");
  ASSERT_EQ(::mkfifo((folder / "fifo.tarvo-session").c_str(), 0600), 0);
  fs::create_symlink(elsewhere, folder / "link.tarvo-session");
  fs::create_symlink("/dev/zero", folder / "zero.tarvo-session");
  write_file(folder / "20261001-000000.tarvo-session", head({2026, 10, 1}));
  const std::vector<SessionSummary> listed = list_sessions(folder);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].path.filename(), "20261001-000000.tarvo-session");
  for (const char* odd : {"fifo", "link", "zero", "folder"}) {
    const fs::path file = folder / (std::string(odd) + ".tarvo-session");
    EXPECT_FALSE(SummarizeSession(file)) << odd;
    // Open follows a link the user chose; nothing else is a session.
    EXPECT_EQ(LooksLikeSession(file), std::string_view(odd) == "link") << odd;
  }
  prune_sessions(folder, kStart, {0, 30, 0});
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4);
  EXPECT_TRUE(fs::exists(elsewhere));
}

struct Kept {
  const char* name;
  SessionState state;
  std::size_t bytes;
  bool kept;
};

// Oldest first; all are among the newest kept, so only the size removes any:
// saved ones first, then unsaved ones at least 30 days old, never a young
// unsaved one, even when the folder stays over the size.
TEST(SessionSummary, SizeCapNeverRemovesAYoungUnsavedSession) {
  const Kept cases[] = {
      {"20261001-000000", SessionState::Stopped, 1000, false},     // unsaved, 69 days old
      {"20261102-000000", SessionState::Unfinished, 1000, false},  // unsaved, 37 days old
      {"20261120-000000", SessionState::Saved, 1000, false},
      {"20261121-000000", SessionState::Unfinished, 2000, true},  // young and unsaved
      {"20261208-000000", SessionState::Stopped, 2000, true},     // young and unsaved
      {"20261209-000000", SessionState::Saved, 100, false},
  };
  TempFolder dir;
  for (const Kept& c : cases) {
    const std::string n = c.name;
    const LocalTime t{std::stoi(n.substr(0, 4)), std::stoi(n.substr(4, 2)),
                      std::stoi(n.substr(6, 2))};
    std::string bytes = head(t);
    if (c.state != SessionState::Unfinished) bytes += session_event_line(SessionEvent::Stopped, t);
    if (c.state == SessionState::Saved) bytes += session_event_line(SessionEvent::Saved, t, "/x");
    bytes.resize(std::max(bytes.size(), c.bytes), '#');
    bytes.back() = '\n';
    write_file(dir / (n + ".tarvo-session"), bytes);
  }
  const PruneOutcome outcome = prune_sessions((dir / "x").parent_path(), kStart, {10, 30, 3000});
  for (const Kept& c : cases) {
    EXPECT_EQ(fs::exists(dir / (std::string(c.name) + ".tarvo-session")), c.kept) << c.name;
  }
  EXPECT_EQ(outcome.removed, 4u);
  EXPECT_EQ(outcome.kept_bytes, 4000u);
  EXPECT_TRUE(outcome.over_limit);
}

// The keeper says so when the young unsaved sessions alone exceed the size,
// and starts its own session all the same.
TEST(SessionSummary, StartSaysWhenTheSizeCannotBeKept) {
  TempFolder dir;
  const fs::path folder = dir / "sessions";
  fs::create_directories(folder);
  write_file(folder / "20261208-000000.tarvo-session",
             head({2026, 12, 8}) + std::string(4095, '#') + "\n");
  MeterState s;
  s.model = MeterModel::ModelTarvo;
  SessionKeeper keeper(s, folder, [] { return kStart; });
  keeper.set_retention({200, 30, 1024});
  std::vector<std::pair<SessionNotice, std::string>> told;
  keeper.set_notice_sink([&](SessionNotice n, const std::string& d) { told.emplace_back(n, d); });
  keeper.acquisition_began();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].first, SessionNotice::OverLimit);
  EXPECT_NE(told[0].second.find("the unsaved sessions younger than 30 days are kept"),
            std::string::npos);
  EXPECT_EQ(list_sessions(folder).size(), 2u);
}

}  // namespace
}  // namespace tarvo
