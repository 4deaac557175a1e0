// The session file under failures: a disk that fills and frees again (a file
// size limit stands in for it, so each write fails where it would), a file or
// folder deleted while it is written, and the folder's own mode.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "files/session_file.h"
#include "files/session_keeper.h"
#include "files/session_store.h"
#include "link/polling_cycle.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using sheet_test::TempFolder;

// Files of this process cannot grow past `bytes` while it lives: a write
// beyond fails with EFBIG as one on a full disk fails with ENOSPC, after
// writing what still fits.
class FullDisk {
 public:
  explicit FullDisk(std::uint64_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &before_);
    rlimit limit = before_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FullDisk() { ::setrlimit(RLIMIT_FSIZE, &before_); }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

 private:
  rlimit before_{};
};

std::string bytes_of(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

class Keeping : public ::testing::Test {
 protected:
  Keeping() : keeper_(s_, dir_ / "state" / "sessions", [] { return kNow; }) {
    s_.model = MeterModel::ModelTarvo;
    s_.reading.Main_No = "3.3014";
    s_.reading.Main_Range = "DCV AUTO 5.0000 V";
    s_.ReadingTime = kNow;
    keeper_.set_notice_sink([this](SessionNotice n, const std::string&) { told_.push_back(n); });
  }
  void commit(int readings) {
    for (int i = 0; i < readings; ++i) commit_reading(s_, nullptr);
  }
  std::vector<std::int64_t> indexes_in(const fs::path& file) const {
    std::vector<std::int64_t> out;
    const auto session = ReadSession(file, ".");
    if (session) {
      for (const real_Record& r : session->records) out.push_back(r.Index);
    }
    return out;
  }
  fs::path folder() const { return keeper_.folder(); }

  static constexpr LocalTime kNow{2026, 12, 9, 14, 3, 27, 0, 60};
  TempFolder dir_;
  MeterState s_;
  SessionKeeper keeper_;
  std::vector<SessionNotice> told_;
};

std::vector<std::int64_t> one_to(std::int64_t n) {
  std::vector<std::int64_t> out;
  for (std::int64_t i = 1; i <= n; ++i) out.push_back(i);
  return out;
}

// The disk fills after two readings, mid-line; the file keeps exactly what
// was whole, the rest waits in memory and lands in order, with the stopped
// line, once there is room again.
TEST_F(Keeping, FullDiskHoldsTheLinesAndWritesThemInOrderOnceFreed) {
  keeper_.acquisition_began();
  commit(2);
  const fs::path file = keeper_.path();
  const std::string whole = bytes_of(file);
  {
    FullDisk full(whole.size() + 50);
    commit(4);
    keeper_.tick();
    keeper_.acquisition_stopped();
    keeper_.tick();
    EXPECT_EQ(bytes_of(file), whole);  // no piece of a line is left behind
    EXPECT_TRUE(keeper_.failed());
    EXPECT_EQ(keeper_.waiting_readings(), 4);
    EXPECT_TRUE(keeper_.incomplete());
  }
  keeper_.tick();
  EXPECT_FALSE(keeper_.failed());
  EXPECT_FALSE(keeper_.incomplete());
  EXPECT_EQ(told_, (std::vector{SessionNotice::NotWritten, SessionNotice::WrittenAgain}));
  const auto session = ReadSession(file, ".");
  ASSERT_TRUE(session);
  EXPECT_EQ(indexes_in(file), one_to(6));
  EXPECT_EQ(session->state, SessionState::Stopped);
  ASSERT_EQ(session->events.size(), 1u);
  EXPECT_EQ(bytes_of(file).substr(0, whole.size()), whole);
}

// A disk that is full when Start makes the file: the header and the readings
// wait, the file is made when there is room.
TEST_F(Keeping, FullDiskAtStartMakesTheFileLater) {
  {
    FullDisk full(0);
    keeper_.acquisition_began();
    commit(3);
    EXPECT_TRUE(keeper_.path().empty());
    EXPECT_TRUE(keeper_.failed());
  }
  commit(1);
  ASSERT_FALSE(keeper_.path().empty());
  EXPECT_EQ(indexes_in(keeper_.path()), one_to(4));
  EXPECT_EQ(told_, (std::vector{SessionNotice::NotWritten, SessionNotice::WrittenAgain}));
}

// Whatever takes the file from under the keeper, it notices at the next line,
// says so once and goes on in a new file under the session's name.
TEST_F(Keeping, DeletedFileIsMadeAnewWithTheReadingsFromThenOn) {
  const std::pair<const char*, std::function<void(const fs::path&)>> cases[] = {
      {"file removed", [](const fs::path& f) { fs::remove(f); }},
      {"folder removed", [](const fs::path& f) { fs::remove_all(f.parent_path().parent_path()); }},
      {"file moved away", [](const fs::path& f) { fs::rename(f, f.string() + ".old"); }},
  };
  for (const auto& [name, take_away] : cases) {
    SCOPED_TRACE(name);
    told_.clear();
    keeper_.acquisition_began();
    commit(2);
    const fs::path file = keeper_.path();
    take_away(file);
    commit(3);
    keeper_.acquisition_stopped();
    EXPECT_EQ(told_, std::vector{SessionNotice::MadeAnew});
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(keeper_.path(), file);
    EXPECT_EQ(indexes_in(file), (std::vector<std::int64_t>{3, 4, 5}));
    EXPECT_EQ(SummarizeSession(file)->state, SessionState::Stopped);
    EXPECT_EQ(fs::status(folder()).permissions() & fs::perms::all, fs::perms::owner_all);
    fs::remove(file);
    s_.log.reset_log_counters();
  }
}

// Made with every missing folder above it for the user alone; an existing
// sessions folder that others could read is closed to them.
TEST_F(Keeping, SessionsFolderIsTheUsersAlone) {
  keeper_.acquisition_began();
  commit(1);
  for (const fs::path& f : {folder(), folder().parent_path()}) {
    EXPECT_EQ(fs::status(f).permissions() & fs::perms::all, fs::perms::owner_all) << f;
  }
  keeper_.acquisition_stopped();
  fs::permissions(folder(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
  keeper_.acquisition_began();
  EXPECT_EQ(fs::status(folder()).permissions() & fs::perms::all, fs::perms::owner_all);
}

}  // namespace
}  // namespace tarvo
