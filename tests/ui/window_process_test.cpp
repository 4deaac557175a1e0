// The window as the user runs it, killed without a word while it reads the
// demo meter: its session holds every reading it had logged, nothing torn.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "child_process.h"
#include "files/log_file.h"
#include "files/session_file.h"
#include "files/session_store.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::int64_t readings_in(const fs::path& sessions) {
  const std::vector<SessionSummary> kept = list_sessions(sessions);
  return kept.empty() ? 0 : kept.front().readings;
}

bool wait_for_readings(const fs::path& sessions, std::int64_t count) {
  for (int i = 0; i < 300 && readings_in(sessions) < count; ++i) std::this_thread::sleep_for(50ms);
  return readings_in(sessions) >= count;
}

TEST(WindowProcess, KilledWindowLeavesEveryLoggedReadingInItsSession) {
  const fs::path dir =
      fs::temp_directory_path() / ("tarvo-window-kill-" + std::to_string(getpid()));
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  for (const int delay_ms : {150, 600}) {
    SCOPED_TRACE(delay_ms);
    // A folder per run: the crash of one would be offered to the next at start-up.
    fs::remove_all(dir);
    setenv("XDG_STATE_HOME", dir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    const fs::path sessions = dir / "tarvo" / "sessions";
    testing::ChildProcess window({TARVO_APP, "--demo", "--start"});
    ASSERT_TRUE(wait_for_readings(sessions, 2));
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
    const std::int64_t before = readings_in(sessions);
    window.send(SIGKILL);
    window.wait(10s);

    const std::vector<SessionSummary> kept = list_sessions(sessions);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].state, SessionState::Unfinished);
    const auto session = ReadSession(kept[0].path, ".");
    ASSERT_TRUE(session.has_value());
    ASSERT_GE(static_cast<std::int64_t>(session->records.size()), before);
    for (std::size_t i = 0; i < session->records.size(); ++i) {
      EXPECT_EQ(session->records[i].Index, static_cast<std::int64_t>(i) + 1);
    }
    const auto opened = LoadLogFile(kept[0].path, ".");
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->records, session->records);
  }
  fs::remove_all(dir);
}

std::string file_text(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The broker password of an address on the window's command line is gone
// from the arguments other users can read once the window runs.
TEST(WindowProcess, PasswordInTheAddressIsNotInTheCommandLineOfTheRunningWindow) {
  const fs::path dir = fs::temp_directory_path() / ("tarvo-window-pw-" + std::to_string(getpid()));
  fs::remove_all(dir);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("XDG_STATE_HOME", dir.c_str(), 1);
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  constexpr const char* kPassword = "Pw_W1ndow_Q";
  testing::ChildProcess window({TARVO_APP, "--demo", "--start", "--publish",
                                std::string("mqtt://ann:") + kPassword + "@127.0.0.1:1/lab"});
  ASSERT_TRUE(wait_for_readings(dir / "tarvo" / "sessions", 1));
  const std::string cmdline = file_text("/proc/" + std::to_string(window.pid()) + "/cmdline");
  EXPECT_NE(cmdline.find("mqtt://ann:"), std::string::npos);
  EXPECT_EQ(cmdline.find(kPassword), std::string::npos);
  window.send(SIGTERM);
  window.wait(10s);
  const std::string said = window.read_error();
  EXPECT_NE(said.find("warning: the password in the broker address"), std::string::npos) << said;
  EXPECT_EQ(said.find(kPassword), std::string::npos) << said;
  fs::remove_all(dir);
}

fs::path fresh_state_folder(const std::string& name) {
  const fs::path dir =
      fs::temp_directory_path() / ("tarvo-window-" + name + "-" + std::to_string(getpid()));
  fs::remove_all(dir);
  setenv("XDG_STATE_HOME", dir.c_str(), 1);
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  return dir;
}

// A kill, a logout or a service stop ends the window as its close box does:
// the session ends with its "stopped" line and is not taken for a crash.
TEST(WindowProcess, TermAndIntEndTheWindowAsClosingItDoes) {
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    const fs::path dir = fresh_state_folder("signal");
    const fs::path sessions = dir / "tarvo" / "sessions";
    testing::ChildProcess window({TARVO_APP, "--demo", "--start"});
    ASSERT_TRUE(wait_for_readings(sessions, 2));
    window.send(signal);
    EXPECT_EQ(window.wait(20s), 0);

    const std::vector<SessionSummary> kept = list_sessions(sessions);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].state, SessionState::Stopped);
    const auto session = ReadSession(kept[0].path, ".");
    ASSERT_TRUE(session.has_value());
    ASSERT_FALSE(session->events.empty());
    EXPECT_EQ(session->events.back().first, SessionEvent::Stopped);
    fs::remove_all(dir);
  }
}

// After a crash, an unattended restart with --start logs at once: the offer
// of the crashed session waits in the window for someone to answer it.
TEST(WindowProcess, RestartAfterACrashStartsAtOnce) {
  const fs::path dir = fresh_state_folder("restart");
  const fs::path sessions = dir / "tarvo" / "sessions";
  {
    testing::ChildProcess crashed({TARVO_APP, "--demo", "--start"});
    ASSERT_TRUE(wait_for_readings(sessions, 2));
    crashed.send(SIGKILL);
    crashed.wait(10s);
  }
  ASSERT_EQ(list_sessions(sessions).size(), 1u);
  testing::ChildProcess restarted({TARVO_APP, "--demo", "--start"});
  bool logging = false;
  for (int i = 0; i < 300 && !logging; ++i) {
    std::this_thread::sleep_for(50ms);
    const std::vector<SessionSummary> kept = list_sessions(sessions);
    logging = kept.size() == 2 && kept.front().readings >= 2;
  }
  EXPECT_TRUE(logging);
  restarted.send(SIGTERM);
  EXPECT_EQ(restarted.wait(20s), 0);
  fs::remove_all(dir);
}

// The program keeps its settings under XDG_CONFIG_HOME: a run in another
// language for once leaves the kept one, and the window's place is written
// when the program ends.
TEST(WindowProcess, SettingsFileIsReadAndKeptUnderTheConfigFolder) {
  const fs::path dir = fresh_state_folder("settings");
  const fs::path file = dir / "tarvo" / "tarvo.conf";
  fs::create_directories(file.parent_path());
  std::ofstream(file) << "[General]\nformat=1\nlanguage=1\ninterval=2\n";
  testing::ChildProcess window({TARVO_APP, "--demo", "--start", "--language", "3"});
  ASSERT_TRUE(wait_for_readings(dir / "tarvo" / "sessions", 1));
  window.send(SIGTERM);
  EXPECT_EQ(window.wait(20s), 0);
  const std::string kept = file_text(file);
  EXPECT_NE(kept.find("language=1"), std::string::npos) << kept;
  EXPECT_NE(kept.find("interval=2"), std::string::npos) << kept;
  EXPECT_NE(kept.find("[windows]"), std::string::npos) << kept;
  EXPECT_NE(kept.find("main="), std::string::npos) << kept;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tarvo
