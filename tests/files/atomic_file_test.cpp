#include "files/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "files/text_log.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using sheet_test::numbered_log;
using sheet_test::read_bytes;
using sheet_test::TempFolder;

struct StaleCase {
  const char* name;
  const char* file;
  bool locked;  // held by a running save
  bool removed;
};

// Hidden files beside the target: only the unlocked temporary files of the
// target itself are a killed save's leftovers.
const StaleCase kStale[] = {
    {"KilledSaveOfTheTarget", ".log.txt.123456789.tmp", false, true},
    {"RunningSaveOfTheTarget", ".log.txt.123456789.tmp", true, false},
    {"OtherTarget", ".log2.txt.123456789.tmp", false, false},
    {"NotANumber", ".log.txt.12a.tmp", false, false},
    {"UsersOwnFile", "log.txt.123.tmp", false, false},
};

class StaleTemporary : public ::testing::TestWithParam<StaleCase> {};

TEST_P(StaleTemporary, IsRemovedOnlyWhenNoSaveOwnsIt) {
  const TempFolder folder;
  const fs::path stale = folder / GetParam().file;
  std::ofstream(stale) << "partial";
  const int held = ::open(stale.c_str(), O_RDONLY | O_CLOEXEC);
  if (GetParam().locked) {
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
  }
  AtomicFile out(folder / "log.txt");
  ASSERT_TRUE(out.write("new") && out.commit()) << out.error();
  ::close(held);
  EXPECT_EQ(fs::exists(stale), !GetParam().removed);
  EXPECT_EQ(read_bytes(folder / "log.txt"), "new");
}

INSTANTIATE_TEST_SUITE_P(Files, StaleTemporary, ::testing::ValuesIn(kStale),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AtomicFile, WithoutCommitLeavesNothing) {
  const TempFolder folder;
  {
    AtomicFile out(folder / "log.txt");
    ASSERT_TRUE(out.write("never committed"));
  }
  EXPECT_EQ(folder.entries(), 0u);
}

// Saves killed at random moments: the target is always the old file or the
// whole new one, and after one more save nothing else is in the folder.
TEST(AtomicFile, KilledSavesLeaveTheTargetWholeAndNoTemporary) {
  const TempFolder folder;
  const fs::path target = folder / "log.txt";
  const ReadingLog old_log = numbered_log(10);
  const ReadingLog new_log = numbered_log(300000);
  ASSERT_TRUE(SaveTextLog(old_log, target));
  const std::string old_bytes = read_bytes(target);
  const std::string new_bytes = TextLogBytes(new_log);
  std::mt19937 random(20261209);
  for (int round = 0; round < 12; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(SaveTextLog(new_log, target) ? 0 : 1);
    ::usleep(std::uniform_int_distribution<useconds_t>(0, 60000)(random));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = read_bytes(target);
    EXPECT_TRUE(now == old_bytes || now == new_bytes) << round << ": " << now.size() << " bytes";
  }
  ASSERT_TRUE(SaveTextLog(old_log, target));
  EXPECT_EQ(folder.entries(), 1u);
  EXPECT_EQ(read_bytes(target), old_bytes);
}

}  // namespace
}  // namespace tarvo
