// tarvo-cli record as the user runs it: a real process beside `tarvo-cli
// simulate`, ended by a signal, a closed pipe or a closed terminal. Whatever
// ends it, the log it printed is the log it saved, and convert reads it back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "child_process.h"
#include "files/session_file.h"
#include "files/session_store.h"
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
    // The recordings keep their sessions here, and the tests look at them.
    setenv("XDG_STATE_HOME", (dir_ / "state").c_str(), 1);
    port_ = meter_.read_line(seconds(10)).value_or("");
  }
  fs::path sessions() const { return dir_ / "state" / "tarvo" / "sessions"; }
  std::optional<SessionContents> newest_session() const {
    const std::vector<SessionSummary> kept = list_sessions(sessions());
    if (kept.empty()) return std::nullopt;
    return ReadSession(kept.front().path, ".");
  }
  ~RecordProcess() override {
    meter_.send(SIGTERM);
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
    recorder.send(signal);
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

// The value of a key in a JSON line of a reading: a number or a string's text.
std::string json_value(const std::string& line, const std::string& key) {
  const std::size_t at = line.find("\"" + key + "\":");
  if (at == std::string::npos) return {};
  std::size_t from = at + key.size() + 3;
  const bool quoted = line[from] == '"';
  from += quoted ? 1 : 0;
  return line.substr(from, line.find_first_of(quoted ? "\"" : ",}", from) - from);
}

// Killed without a word at different moments, a recording leaves a session
// that holds every reading it printed (each is on disk before it is printed),
// the one in between at most, and nothing torn.
TEST_F(RecordProcess, KilledRecordingLeavesEveryReadingInItsSession) {
  ASSERT_FALSE(port_.empty());
  for (const int delay_ms : {0, 350, 700}) {
    SCOPED_TRACE(delay_ms);
    fs::remove_all(sessions());
    ChildProcess recorder({kCli, "record", "--port", port_});
    std::vector<std::string> printed;
    for (int i = 0; i < 2; ++i) printed.push_back(recorder.read_line(seconds(10)).value_or(""));
    usleep(static_cast<useconds_t>(delay_ms) * 1000);
    recorder.send(SIGKILL);
    recorder.wait(seconds(10));
    const std::optional<SessionContents> session = newest_session();
    ASSERT_TRUE(session.has_value());
    EXPECT_EQ(session->state, SessionState::Unfinished);
    ASSERT_GE(session->records.size(), printed.size());
    ASSERT_LE(session->records.size(), printed.size() + 1);
    for (std::size_t i = 0; i < printed.size(); ++i) {
      EXPECT_EQ(std::to_string(session->records[i].Index), json_value(printed[i], "Index"));
      EXPECT_EQ(session->records[i].Main_No.str(), json_value(printed[i], "Main_No"));
      EXPECT_EQ(session->records[i].Time.str(), json_value(printed[i], "Time"));
    }
  }
}

// Every alarm and note the recording reported is in its session after a
// kill -9: events are written as they happen, not at the end.
TEST_F(RecordProcess, KilledRecordingKeepsItsAlarmAndNoteEvents) {
  ASSERT_FALSE(port_.empty());
  const fs::path typed = dir_ / "typed";
  ASSERT_EQ(::mkfifo(typed.c_str(), 0600), 0);
  // The test's end opened for reading and writing never waits for the reader.
  const int keyboard = ::open(typed.c_str(), O_RDWR);
  ASSERT_GE(keyboard, 0);
  // Every reading is above the high limit: the alarm starts at the first.
  const std::string command = "exec " + std::string(kCli) + " record --port " + port_ +
                              " --high -1000000 < " + typed.string();
  ChildProcess recorder({"/bin/sh", "-c", command});
  ASSERT_TRUE(wait_for_reading(recorder, 2)) << recorder.read_error();
  const std::string note = "probe moved to TP3\n";
  ASSERT_EQ(::write(keyboard, note.data(), note.size()), static_cast<ssize_t>(note.size()));
  ASSERT_TRUE(wait_for_reading(recorder, 4));
  recorder.send(SIGKILL);
  recorder.wait(seconds(10));
  ::close(keyboard);
  const std::string said = recorder.read_error();
  ASSERT_NE(said.find("record: alarm: "), std::string::npos) << said;
  ASSERT_NE(said.find("record: note: probe moved to TP3"), std::string::npos) << said;
  const std::optional<SessionContents> session = newest_session();
  ASSERT_TRUE(session.has_value());
  EXPECT_EQ(session->state, SessionState::Unfinished);
  std::vector<std::pair<SessionEvent, std::string>> events;
  for (const SessionEventEntry& e : session->event_entries) {
    events.emplace_back(e.kind, e.details.empty() ? std::string() : e.details.front());
  }
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].first, SessionEvent::AlarmStart);
  EXPECT_EQ(events[1], std::make_pair(SessionEvent::Note, std::string("probe moved to TP3")));
}

// The simulated meter's process ends and another starts on the same link
// path three seconds later: the recording goes on, numbered on, in one session.
TEST_F(RecordProcess, MeterBackOnTheSameLinkIsRecordedOn) {
  const std::string link = (dir_ / "meter").string();
  auto meter =
      std::make_unique<ChildProcess>(std::vector<std::string>{kCli, "simulate", "--link", link});
  ASSERT_TRUE(meter->read_line(seconds(10)));
  ChildProcess recorder({kCli, "record", "--port", link});
  ASSERT_TRUE(wait_for_reading(recorder, 2));
  meter->send(SIGKILL);
  meter->wait(seconds(10));
  // Killed, it left its link, to a pseudo-terminal whose number another
  // test's meter may get: unplugged, the device is gone.
  fs::remove(link);
  sleep(3);
  meter =
      std::make_unique<ChildProcess>(std::vector<std::string>{kCli, "simulate", "--link", link});
  ASSERT_TRUE(meter->read_line(seconds(10)));
  ASSERT_TRUE(wait_for_reading(recorder, 5));
  recorder.send(SIGTERM);
  EXPECT_EQ(recorder.wait(seconds(10)), 0);
  meter->send(SIGTERM);
  meter->wait(seconds(10));
  const std::string said = recorder.read_error();
  EXPECT_NE(said.find("waiting for it to come back"), std::string::npos) << said;
  EXPECT_NE(said.find("the meter is back on " + link), std::string::npos) << said;
  const std::optional<SessionContents> session = newest_session();
  ASSERT_TRUE(session.has_value());
  for (std::size_t i = 0; i < session->records.size(); ++i) {
    EXPECT_EQ(session->records[i].Index, static_cast<std::int64_t>(i) + 1);
  }
  std::vector<SessionEvent> events;
  for (const auto& e : session->events) events.push_back(e.first);
  EXPECT_EQ(events,
            (std::vector{SessionEvent::MeterLost, SessionEvent::MeterBack, SessionEvent::Stopped}));
}

std::string file_text(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A password given in the broker address is gone from the arguments every
// user can read while the recording runs, and no line of it shows it.
TEST_F(RecordProcess, PasswordInTheAddressIsNotInTheCommandLineOfTheRunningRecording) {
  ASSERT_FALSE(port_.empty());
  constexpr const char* kPassword = "Pw_S3cret_XY";
  ChildProcess recorder(record(
      {"--trace", "--publish", std::string("mqtt://ann:") + kPassword + "@127.0.0.1:1/lab"}));
  ASSERT_TRUE(wait_for_reading(recorder, 1));
  const std::string cmdline = file_text("/proc/" + std::to_string(recorder.pid()) + "/cmdline");
  EXPECT_NE(cmdline.find("mqtt://ann:"), std::string::npos);
  EXPECT_EQ(cmdline.find(kPassword), std::string::npos);
  recorder.send(SIGTERM);
  EXPECT_EQ(recorder.read_rest().find(kPassword), std::string::npos);
  recorder.wait(seconds(20));
  const std::string said = recorder.read_error();
  EXPECT_NE(said.find("warning: the password in the broker address"), std::string::npos) << said;
  EXPECT_EQ(said.find(kPassword), std::string::npos) << said;
}

// Two recordings started at the same moment, each told of both meters in
// the same order, each get one: the port the other held during the first
// listen is tried again once it lets the port go. bench/two_recorders.sh
// runs the twenty trials.
TEST_F(RecordProcess, TwoRecordingsStartedTogetherEachGetAMeter) {
  std::vector<std::unique_ptr<ChildProcess>> meters;
  std::vector<std::string> ports;
  for (const char* value : {"1.1111", "2.2222"}) {
    const fs::path scenario = dir_ / (std::string(value) + ".txt");
    std::ofstream(scenario) << "DCV 5.0000 V " << value << " for 1h\n";
    meters.push_back(std::make_unique<ChildProcess>(
        std::vector<std::string>{kCli, "simulate", "--scenario", scenario.string()}));
    ports.push_back(meters.back()->read_line(seconds(10)).value_or(""));
    ASSERT_FALSE(ports.back().empty()) << meters.back()->read_error();
  }
  for (int trial = 0; trial < 4; ++trial) {
    SCOPED_TRACE(trial);
    std::vector<std::unique_ptr<ChildProcess>> recorders;
    for (int r = 0; r < 2; ++r) {
      recorders.push_back(std::make_unique<ChildProcess>(std::vector<std::string>{
          kCli, "record", "--port", ports[0], "--port", ports[1], "--count", "1"}));
    }
    std::set<std::string> values;
    for (auto& recorder : recorders) {
      values.insert(json_value(recorder->read_line(seconds(15)).value_or(""), "Main_No"));
      EXPECT_EQ(recorder->wait(seconds(15)), 0) << recorder->read_error();
    }
    EXPECT_EQ(values, (std::set<std::string>{"1.1111", "2.2222"}));
  }
  for (auto& meter : meters) {
    meter->send(SIGTERM);
    meter->wait(seconds(10));
  }
}

// Fills a folder's file system up with a file of zeros.
void fill_up(const fs::path& file) {
  std::ofstream out(file, std::ios::binary);
  const std::string block(4096, '\0');
  while (out.write(block.data(), static_cast<std::streamsize>(block.size())) && out.flush()) {
  }
}

void expect_readings_one_to(const SessionContents& session, std::int64_t last) {
  ASSERT_EQ(session.records.size(), static_cast<std::size_t>(last));
  for (std::int64_t i = 0; i < last; ++i) EXPECT_EQ(session.records[i].Index, i + 1);
}

// A state folder on a 64 KiB tmpfs that is full when the recording starts and
// freed during it: the session is made then, with every reading in order,
// and the recording's end lands after them.
TEST_F(RecordProcess, FullDiskKeepsTheReadingsUntilThereIsRoom) {
  ASSERT_FALSE(port_.empty());
  const fs::path state = dir_ / "state";
  fs::create_directories(state);
  if (::mount("tmpfs", state.c_str(), "tmpfs", 0, "size=64k,mode=0700") != 0) {
    GTEST_SKIP() << "no tmpfs can be mounted here: " << std::strerror(errno);
  }
  struct Unmount {
    fs::path at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{state};
  fill_up(state / "filler");
  ChildProcess recorder(record({}));
  ASSERT_TRUE(wait_for_reading(recorder, 3));
  fs::remove(state / "filler");
  ASSERT_TRUE(wait_for_reading(recorder, 5));
  recorder.send(SIGTERM);
  const std::string rest = recorder.read_rest();
  EXPECT_EQ(recorder.wait(seconds(10)), 0);
  const std::string said = recorder.read_error();
  EXPECT_NE(said.find("the session file is not written"), std::string::npos) << said;
  EXPECT_NE(said.find("the session file is written again"), std::string::npos) << said;
  const std::optional<SessionContents> session = newest_session();
  ASSERT_TRUE(session.has_value());
  expect_readings_one_to(*session, 5 + static_cast<std::int64_t>(lines_in(rest)));
  std::vector<SessionEvent> events;
  for (const auto& e : session->events) events.push_back(e.first);
  EXPECT_EQ(events, (std::vector{SessionEvent::Stopped, SessionEvent::Saved}));
}

// The sessions folder removed under a running recording: the next reading
// notices, says so, and a new file under the same name goes on from there.
TEST_F(RecordProcess, DeletedSessionFolderIsMadeAnew) {
  ASSERT_FALSE(port_.empty());
  ChildProcess recorder(record({}));
  ASSERT_TRUE(wait_for_reading(recorder, 2));
  const fs::path file = list_sessions(sessions()).at(0).path;
  fs::remove_all(sessions());
  ASSERT_TRUE(wait_for_reading(recorder, 5));
  recorder.send(SIGTERM);
  const std::string rest = recorder.read_rest();
  EXPECT_EQ(recorder.wait(seconds(10)), 0);
  const std::string said = recorder.read_error();
  EXPECT_NE(said.find("the session file was deleted; " + file.string()), std::string::npos) << said;
  const std::optional<SessionContents> session = ReadSession(file, ".");
  ASSERT_TRUE(session.has_value());
  ASSERT_FALSE(session->records.empty());
  EXPECT_GE(session->records.front().Index, 3);
  EXPECT_EQ(session->records.back().Index, 5 + static_cast<std::int64_t>(lines_in(rest)));
  EXPECT_EQ(session->state, SessionState::Saved);
}

}  // namespace
}  // namespace tarvo
