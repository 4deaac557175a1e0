#include "alarm/alarm_command.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace tarvo {
namespace {

constexpr auto kPoll = std::chrono::milliseconds(20);

std::string command_name(const std::vector<std::string>& argv) {
  return argv.empty() ? std::string() : argv.front();
}

// The child's environment: this program's, with the alarm's variables
// replacing any of the same name.
std::vector<std::string> child_environment(const AlarmFacts& facts) {
  std::vector<std::string> env = alarm_environment(facts);
  for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
    if (std::strncmp(*e, "TARVO_", 6) != 0) env.emplace_back(*e);
  }
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (std::string& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

std::string ended_how(int status) {
  if (WIFEXITED(status)) {
    const int code = WEXITSTATUS(status);
    return code == 0 ? std::string() : "exited with status " + std::to_string(code);
  }
  if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
  return "ended";
}

}  // namespace

std::vector<std::string> alarm_environment(const AlarmFacts& f) {
  return {"TARVO_ALARM=" + f.alarm, "TARVO_KIND=" + f.kind,   "TARVO_VALUE=" + f.value,
          "TARVO_UNIT=" + f.unit,   "TARVO_LIMIT=" + f.limit, "TARVO_TIME=" + f.time};
}

AlarmCommand::AlarmCommand(std::vector<std::string> argv, std::chrono::milliseconds limit,
                           Report report)
    : argv_(std::move(argv)), limit_(limit), report_(std::move(report)) {
  thread_ = std::thread([this] { work(); });
}

std::optional<std::vector<std::string>> split_command(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\n') {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
      continue;
    }
    in_word = true;
    if (c == '\\') {
      if (++i == line.size()) return std::nullopt;
      word += line[i];
    } else if (c == '\'') {
      const std::size_t end = line.find('\'', i + 1);
      if (end == std::string_view::npos) return std::nullopt;
      word += line.substr(i + 1, end - i - 1);
      i = end;
    } else if (c == '"') {
      for (++i;; ++i) {
        if (i == line.size()) return std::nullopt;
        if (line[i] == '"') break;
        if (line[i] == '\\' && i + 1 < line.size() &&
            std::string_view("\"\\$`").find(line[i + 1]) != std::string_view::npos) {
          ++i;
        }
        word += line[i];
      }
    } else {
      word += c;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

AlarmCommand::~AlarmCommand() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void AlarmCommand::run(const AlarmFacts& facts) {
  bool dropped = false;
  {
    std::lock_guard lock(mutex_);
    if (waiting_.size() >= kMostWaiting) {
      waiting_.pop_front();
      dropped = true;
    }
    waiting_.push_back(facts);
  }
  changed_.notify_all();
  if (dropped && report_) report_("alarm command: too many alarms waiting, the oldest was not run");
}

void AlarmCommand::drain() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.empty() && !busy_; });
}

void AlarmCommand::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
    // Runs queued before the end still run: an alarm is not lost to a Stop.
    if (waiting_.empty()) return;
    const AlarmFacts facts = waiting_.front();
    waiting_.pop_front();
    busy_ = true;
    lock.unlock();
    const std::string failure = run_one(facts);
    if (!failure.empty() && report_)
      report_("alarm command " + command_name(argv_) + ": " + failure);
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

std::string AlarmCommand::run_one(const AlarmFacts& facts) {
  if (argv_.empty()) return "no command given";
  std::vector<std::string> args = argv_;
  std::vector<std::string> env = child_environment(facts);
  std::vector<char*> argp = pointers(args), envp = pointers(env);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  const int err = posix_spawnp(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) return std::string("could not be run: ") + std::strerror(err);
  const auto deadline = std::chrono::steady_clock::now() + limit_;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return ended_how(status);
    if (done < 0 && errno != EINTR) return std::string("lost: ") + std::strerror(errno);
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(kPoll);
  }
  kill(pid, SIGKILL);
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  const auto ms = limit_.count();
  const std::string after =
      ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
  return "still running after " + after + ", killed";
}

}  // namespace tarvo
