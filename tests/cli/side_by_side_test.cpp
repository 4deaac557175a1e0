// Two meters on one machine recorded by two tarvo-cli record processes at
// once: each finds a meter of its own among the same ports, and their
// sessions share one group.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "files/session_file.h"
#include "files/session_group.h"
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
    for (auto& meter : meters_) stop(meter);
    fs::remove_all(dir_);
  }
  // A child already waited for has no pid left: kill(-1) would end every
  // process of the user.
  static void stop(ChildProcess& child) {
    if (child.pid() <= 0) return;
    child.send(SIGTERM);
    child.wait(seconds(10));
  }
  // Both recorders are given every port, in the same order.
  std::vector<std::string> record(int count) const {
    return {kCli,     "record",  "--port",  ports_[0],
            "--port", ports_[1], "--count", std::to_string(count)};
  }
  fs::path sessions() const { return dir_ / "state" / "tarvo" / "sessions"; }
  // Two sessions of one group: the founder's, named by the id and without a
  // group line, and the other's, whose line names it.
  static void expect_one_group(const std::vector<SessionSummary>& two) {
    ASSERT_EQ(two.size(), 2u);
    const bool first_founded = two[0].header.group.empty();
    const SessionSummary& founder = two[first_founded ? 0 : 1];
    const SessionSummary& member = two[first_founded ? 1 : 0];
    EXPECT_EQ(founder.header.group, "");
    EXPECT_EQ(member.header.group, founder.path.stem().string());
    const std::vector<std::string> groups = session_groups(two);
    EXPECT_EQ(groups[0], groups[1]);
    EXPECT_FALSE(groups[0].empty());
  }

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
  }
  expect_one_group(kept);

  // Once both have ended, the next recorder founds a group of its own, and
  // alone it writes no group line.
  ChildProcess later(record(1));
  EXPECT_EQ(later.wait(seconds(30)), 0) << later.read_error();
  const std::vector<SessionSummary> now = list_sessions(sessions());
  ASSERT_EQ(now.size(), 3u);
  EXPECT_EQ(now.front().header.group, "");
  EXPECT_EQ(session_groups(now).front(), "");
}

std::vector<std::string> lines_of(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::size_t count_of(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// One run records both meters: a JSON line per meter per interval, a log and
// a session each, one group, and combine lines the two sessions up.
TEST_F(SideBySide, OneRunRecordsEachMeterIntoASessionOfOneGroup) {
  ASSERT_FALSE(ports_[1].empty());
  std::vector<std::string> argv = record(5);
  const fs::path log = dir_ / "log.txt";
  argv.insert(argv.end(), {"--meters", "2", "--out", log.string()});
  ChildProcess run(argv);
  const std::string out = run.read_rest();
  ASSERT_EQ(run.wait(seconds(30)), 0) << run.read_error();
  EXPECT_EQ(count_of(out, "\"meter\":\"A\""), 5u) << out;
  EXPECT_EQ(count_of(out, "\"meter\":\"B\""), 5u) << out;
  EXPECT_EQ(lines_of(dir_ / "log-A.txt").size(), lines_of(dir_ / "log-B.txt").size());
  EXPECT_FALSE(fs::exists(log));

  const std::vector<SessionSummary> kept = list_sessions(sessions());
  ASSERT_EQ(kept.size(), 2u);
  expect_one_group(kept);
  for (const SessionSummary& s : kept) EXPECT_EQ(s.readings, 5);

  const fs::path combined = dir_ / "both.csv";
  ChildProcess combine({kCli, "combine", kept[1].path.string(), kept[0].path.string(),
                        combined.string(), "--formula", "P=A*B"});
  ASSERT_EQ(combine.wait(seconds(20)), 0) << combine.read_error();
  const std::vector<std::string> rows = lines_of(combined);
  ASSERT_EQ(rows.size(), 6u);  // the names, then a row per reading of A
  for (std::size_t i = 1; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i]);
    EXPECT_EQ(rows[i].find(",,"), std::string::npos);  // each meter has its value there
  }
}

// One meter's simulator goes away for good: its recording ends, the other
// meter's goes on to its count, and each session holds what it recorded.
TEST_F(SideBySide, OneMeterLostLeavesTheOthersSessionWhole) {
  ASSERT_FALSE(ports_[1].empty());
  std::vector<std::string> argv = record(6);
  argv.insert(argv.end(), {"--meters", "2", "--reconnect-timeout", "0"});
  ChildProcess run(argv);
  std::size_t seen = 0;
  while (seen < 4) {
    const auto line = run.read_line(seconds(10));
    ASSERT_TRUE(line);
    ++seen;
  }
  stop(meters_[1]);
  const std::string rest = run.read_rest();
  EXPECT_EQ(run.wait(seconds(30)), 4) << run.read_error();

  std::vector<std::int64_t> readings;
  for (const SessionSummary& s : list_sessions(sessions())) {
    const auto contents = ReadSession(s.path, ".");
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->records.size(), static_cast<std::size_t>(s.readings));
    readings.push_back(s.readings);
  }
  std::sort(readings.begin(), readings.end());
  ASSERT_EQ(readings.size(), 2u);
  EXPECT_GE(readings[0], 1);
  EXPECT_LT(readings[0], 6);
  EXPECT_EQ(readings[1], 6);
}

}  // namespace
}  // namespace tarvo
