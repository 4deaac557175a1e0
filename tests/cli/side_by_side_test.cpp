// Two meters on one machine recorded by two tarvo-cli record processes at
// once: each finds a meter of its own among the same ports, and their
// sessions share one group.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"
#include "files/session_file.h"
#include "files/session_store.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;
using testing::ChildProcess;

constexpr const char* kCli = TARVO_CLI;

class SideBySide : public ::testing::Test {
 protected:
  SideBySide() {
    dir_ = fs::temp_directory_path() / ("tarvo-side-by-side-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "runtime");
    setenv("XDG_STATE_HOME", (dir_ / "state").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (dir_ / "runtime").c_str(), 1);
    for (auto& meter : meters_) ports_.push_back(meter.read_line(seconds(10)).value_or(""));
  }
  ~SideBySide() override {
    for (auto& meter : meters_) {
      kill(meter.pid(), SIGTERM);
      meter.wait(seconds(10));
    }
    fs::remove_all(dir_);
  }
  // Both recorders are given every port, in the same order.
  std::vector<std::string> record(int count) const {
    return {kCli,     "record",  "--port",  ports_[0],
            "--port", ports_[1], "--count", std::to_string(count)};
  }
  fs::path sessions() const { return dir_ / "state" / "tarvo" / "sessions"; }

  ChildProcess meters_[2] = {ChildProcess({kCli, "simulate"}), ChildProcess({kCli, "simulate"})};
  std::vector<std::string> ports_;
  fs::path dir_;
};

TEST_F(SideBySide, TwoRecordersFindTwoMetersAndShareAGroup) {
  ASSERT_FALSE(ports_[0].empty());
  ASSERT_FALSE(ports_[1].empty());
  ChildProcess first(record(4));
  ChildProcess second(record(4));
  EXPECT_EQ(first.wait(seconds(30)), 0) << first.read_error();
  EXPECT_EQ(second.wait(seconds(30)), 0) << second.read_error();

  const std::vector<SessionSummary> kept = list_sessions(sessions());
  ASSERT_EQ(kept.size(), 2u);
  for (const SessionSummary& s : kept) {
    SCOPED_TRACE(s.path.string());
    const auto contents = ReadSession(s.path, ".");
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->records.size(), 4u);
    EXPECT_FALSE(contents->header.group.empty());
  }
  EXPECT_EQ(kept[0].header.group, kept[1].header.group);

  // Once both have ended, the next recorder makes a group of its own.
  ChildProcess later(record(1));
  EXPECT_EQ(later.wait(seconds(30)), 0) << later.read_error();
  const std::vector<SessionSummary> now = list_sessions(sessions());
  ASSERT_EQ(now.size(), 3u);
  EXPECT_NE(now.front().header.group, kept[0].header.group);
  EXPECT_FALSE(now.front().header.group.empty());
}

}  // namespace
}  // namespace tarvo
