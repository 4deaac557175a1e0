// tarvo-cli record as the user runs it: a real process beside `tarvo-cli
// simulate`, ended by a signal, a closed pipe or a closed terminal. Whatever
// ends it, the log it printed is the log it saved, and convert reads it back.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"
#include "files/text_log.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;
using testing::ChildProcess;

constexpr const char* kCli = TARVO_CLI;
constexpr const char* kOutputClosed =
    "tarvo-cli record: standard output is closed; readings are no longer printed, the recording "
    "goes on\n";

class RecordProcess : public ::testing::Test {
 protected:
  RecordProcess() : meter_({kCli, "simulate"}) {
    dir_ = fs::temp_directory_path() / ("tarvo-record-process-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    port_ = meter_.read_line(seconds(10)).value_or("");
  }
  ~RecordProcess() override {
    kill(meter_.pid(), SIGTERM);
    meter_.wait(seconds(10));
    fs::remove_all(dir_);
  }

  std::vector<std::string> record(const std::vector<std::string>& extra) const {
    std::vector<std::string> argv = {kCli, "record", "--port", port_, "--out", log_file()};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return argv;
  }
  std::string log_file() const { return (dir_ / "log.txt").string(); }

  // Waits for the JSON line of reading `index`; false when it did not come.
  static bool wait_for_reading(ChildProcess& recorder, int index) {
    const std::string key = "\"Index\":" + std::to_string(index) + ",";
    while (const auto line = recorder.read_line(seconds(10))) {
      if (line->find(key) != std::string::npos) return true;
    }
    return false;
  }

  // The saved log holds readings 1 to `count`, and convert reads it and writes
  // the same readings out again.
  void expect_complete_log(std::size_t count) const {
    const auto records = LoadTextLog(log_file(), ".");
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), count);
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ((*records)[i].Index, std::int64_t(i + 1));
    const std::string copy = (dir_ / "copy.txt").string();
    ChildProcess convert({kCli, "convert", log_file(), copy, "--decimal-separator", "."});
    EXPECT_EQ(convert.wait(seconds(20)), 0) << convert.read_error();
    const auto copied = LoadTextLog(copy, ".");
    ASSERT_TRUE(copied.has_value());
    ASSERT_EQ(copied->size(), count);
    for (std::size_t i = 0; i < count; ++i) {
      const real_Record &a = (*records)[i], &b = (*copied)[i];
      EXPECT_EQ(a.Time.view(), b.Time.view());
      EXPECT_EQ(a.Main_No.view(), b.Main_No.view());
      EXPECT_EQ(a.Main_Range.view(), b.Main_Range.view());
      EXPECT_EQ(a.Sub_No.view(), b.Sub_No.view());
    }
  }

  ChildProcess meter_;
  fs::path dir_;
  std::string port_;
};

std::size_t lines_in(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(RecordProcess, EachStopSignalSavesEveryPrintedReading) {
  ASSERT_FALSE(port_.empty());
  for (const int signal : {SIGHUP, SIGTERM, SIGINT}) {
    SCOPED_TRACE(strsignal(signal));
    fs::remove(log_file());
    ChildProcess recorder(record({}));
    ASSERT_TRUE(wait_for_reading(recorder, 2));
    kill(recorder.pid(), signal);
    const std::string rest = recorder.read_rest();
    EXPECT_EQ(recorder.wait(seconds(10)), 0);
    EXPECT_EQ(recorder.read_error(), "");
    expect_complete_log(2 + lines_in(rest));
  }
}

TEST_F(RecordProcess, ClosedPipeStopsThePrintingNotTheRecording) {
  ASSERT_FALSE(port_.empty());
  ChildProcess recorder(record({"--count", "4"}));
  ASSERT_TRUE(wait_for_reading(recorder, 1));
  recorder.close_output();  // as `| head -n 1` does
  EXPECT_EQ(recorder.wait(seconds(15)), 0);
  EXPECT_EQ(recorder.read_error(), kOutputClosed);
  expect_complete_log(4);
}

// The terminal goes away under a recording that prints to it (with the
// progress line): the kernel hangs up the session.
TEST_F(RecordProcess, ClosedTerminalSavesTheLog) {
  ASSERT_FALSE(port_.empty());
  ChildProcess recorder(record({}), ChildProcess::Streams::Terminal);
  ASSERT_TRUE(wait_for_reading(recorder, 2));
  recorder.close_output();
  EXPECT_EQ(recorder.wait(seconds(10)), 0);
  const auto records = LoadTextLog(log_file(), ".");
  ASSERT_TRUE(records.has_value());
  EXPECT_GE(records->size(), 2u);
  expect_complete_log(records->size());
}

}  // namespace
}  // namespace tarvo
