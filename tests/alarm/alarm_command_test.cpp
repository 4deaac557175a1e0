// The user's alarm command runs as an argument vector, never through a shell,
// with the alarm's facts in its environment, bounded in time.
#include "alarm/alarm_command.h"

#include <gtest/gtest.h>

#include <optional>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

class AlarmCommandRuns : public ::testing::Test {
 protected:
  AlarmCommandRuns() : dir_(fs::temp_directory_path() / ("alarm-" + std::to_string(getpid()))) {
    fs::create_directories(dir_);
  }
  ~AlarmCommandRuns() override { fs::remove_all(dir_); }

  AlarmCommand::Report collect() {
    return [this](const std::string& line) {
      std::lock_guard lock(mutex_);
      reports_.push_back(line);
    };
  }
  std::vector<std::string> reports() {
    std::lock_guard lock(mutex_);
    return reports_;
  }
  std::string read(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
  std::mutex mutex_;
  std::vector<std::string> reports_;
};

const AlarmFacts kFacts{"start", "high", "5.0123", "V", "5", "2026-12-09T14:05:00+01:00"};

TEST_F(AlarmCommandRuns, FactsArriveInTheEnvironmentAndWordsStayWords) {
  const fs::path out = dir_ / "out";
  // A shell would run the `touch` in the second word; as an argument it is only text.
  const fs::path planted = dir_ / "planted";
  AlarmCommand command({"sh", "-c",
                        "printf '%s|' \"$TARVO_ALARM\" \"$TARVO_KIND\" \"$TARVO_VALUE\" "
                        "\"$TARVO_UNIT\" \"$TARVO_LIMIT\" \"$TARVO_TIME\" \"$1\" > " +
                            out.string(),
                        "x", "; touch " + planted.string()},
                       std::chrono::seconds(10), collect());
  command.run(kFacts);
  command.drain();
  EXPECT_EQ(read(out),
            "start|high|5.0123|V|5|2026-12-09T14:05:00+01:00|; touch " + planted.string() + "|");
  EXPECT_FALSE(fs::exists(planted));
  EXPECT_TRUE(reports().empty());
}

TEST_F(AlarmCommandRuns, FailuresAreReportedNotThrown) {
  struct Case {
    std::vector<std::string> argv;
    std::string report;
  };
  const Case cases[] = {
      {{"false"}, "alarm command false: exited with status 1"},
      {{"/nonexistent/tarvo-alarm"}, "alarm command /nonexistent/tarvo-alarm: could not be run: "},
      {{"sleep", "30"}, "alarm command sleep: still running after 300 ms, killed"},
      {{"sh", "-c", "kill -TERM $$"}, "alarm command sh: ended by signal 15"},
  };
  for (const Case& c : cases) {
    reports_.clear();
    const auto started = std::chrono::steady_clock::now();
    {
      AlarmCommand command(c.argv, std::chrono::milliseconds(300), collect());
      command.run(kFacts);
      command.drain();
    }
    ASSERT_EQ(reports().size(), 1u) << c.report;
    EXPECT_TRUE(reports()[0].starts_with(c.report)) << reports()[0];
    // Killed long before the sleep would have ended.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  }
}

TEST_F(AlarmCommandRuns, AlarmsQueuedBeforeTheEndStillRun) {
  const fs::path out = dir_ / "count";
  {
    AlarmCommand command({"sh", "-c", "echo x >> " + out.string()}, std::chrono::seconds(10),
                         collect());
    for (int i = 0; i < 3; ++i) command.run(kFacts);
  }
  EXPECT_EQ(read(out), "x\nx\nx\n");
}

// The line the user types is split as a shell splits words; nothing in it is
// expanded or run by a shell.
TEST(SplitCommand, WordsAsAShellSplitsThem) {
  using Words = std::vector<std::string>;
  const std::vector<std::pair<std::string, std::optional<Words>>> cases = {
      {"", Words{}},
      {" \t ", Words{}},
      {"logger -t bench", Words{"logger", "-t", "bench"}},
      {"notify-send 'High limit' \"5 V\"", Words{"notify-send", "High limit", "5 V"}},
      {"sh -c 'echo $TARVO_VALUE; rm x'", Words{"sh", "-c", "echo $TARVO_VALUE; rm x"}},
      {"say \"a \\\"b\\\" \\\\ \\$HOME \\n\"", Words{"say", "a \"b\" \\ $HOME \\n"}},
      {"two\\ words 'it'\"'\"'s'", Words{"two words", "it's"}},
      {"''", Words{""}},
      {"open 'quote", std::nullopt},
      {"open \"quote", std::nullopt},
      {"ends in \\", std::nullopt},
  };
  for (const auto& [line, words] : cases) {
    EXPECT_EQ(split_command(line), words) << line;
  }
}

}  // namespace
}  // namespace tarvo
