#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tarvo {

// What an alarm action is told: the program passes these to the user's
// command as environment variables (TARVO_ALARM, TARVO_KIND, TARVO_VALUE,
// TARVO_UNIT, TARVO_LIMIT, TARVO_TIME).
struct AlarmFacts {
  std::string alarm;  // "start" or "end"
  std::string kind;   // "high", "low" or "stale"
  std::string value;  // the reading (or extreme) as the meter showed it, with a "."
  std::string unit;
  std::string limit;
  std::string time;  // ISO 8601 local date-time with the offset
};

std::vector<std::string> alarm_environment(const AlarmFacts& facts);

// A command line as the user types it, split into words as a POSIX shell
// splits them: blanks between words; '...' taken as it is; "..." in which a
// backslash escapes only a double quote, a backslash, a dollar or a backquote;
// a backslash outside quotes takes the next character as it is. Nothing is
// expanded and no shell ever runs it. None when a quote is not closed or the
// line ends in a lone backslash.
std::optional<std::vector<std::string>> split_command(std::string_view line);

// How long the user's command may run, in the window and in record alike.
inline constexpr std::chrono::seconds kAlarmCommandLimit{10};

// Runs the user's command for each alarm, one at a time, on a thread of its
// own: the commit path only queues. The command is an argument vector run
// without a shell (nothing in a reading can become a word of a command line),
// with standard input from /dev/null. A command that outlives the time limit
// is killed. What became of each run goes to `report` on the runner's thread.
class AlarmCommand {
 public:
  using Report = std::function<void(const std::string&)>;

  AlarmCommand(std::vector<std::string> argv, std::chrono::milliseconds limit, Report report);
  ~AlarmCommand();
  AlarmCommand(const AlarmCommand&) = delete;
  AlarmCommand& operator=(const AlarmCommand&) = delete;

  // Queues one run; beyond kMostWaiting waiting runs the oldest waiting one is
  // dropped, and the report says so.
  void run(const AlarmFacts& facts);
  // Waits until every queued run has ended (for the end of a recording and tests).
  void drain();

  static constexpr std::size_t kMostWaiting = 16;

 private:
  void work();
  std::string run_one(const AlarmFacts& facts);

  const std::vector<std::string> argv_;
  const std::chrono::milliseconds limit_;
  const Report report_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<AlarmFacts> waiting_;
  bool busy_ = false;
  bool ending_ = false;
  std::thread thread_;
};

}  // namespace tarvo
