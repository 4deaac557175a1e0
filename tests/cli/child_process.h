#pragma once

#include <signal.h>

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::testing {

// A program the test starts, with its standard output and error on pipes the
// test reads (or on a terminal of its own). Killed and reaped by its PID when
// the test forgets to wait for it.
class ChildProcess {
 public:
  enum class Streams { Pipes, Terminal };

  ChildProcess(const std::vector<std::string>& argv, Streams streams = Streams::Pipes);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  // Sends the signal to the child while it is not waited for; never to a
  // pid of -1 or 0, which would reach every process or the test's own group.
  void send(int signal) const {
    if (pid_ > 0) ::kill(pid_, signal);
  }

  // The next line of standard output (or of the terminal), without its end;
  // nullopt at the end of the stream or when none came in time.
  std::optional<std::string> read_line(std::chrono::milliseconds timeout);
  // The rest of standard output, up to its end.
  std::string read_rest();
  std::string read_error();
  // Closes the test's end of standard output: for a terminal, a hang-up.
  void close_output();

  // The exit status, or -1 (after killing it) when it had not exited in time or
  // ended by a signal.
  int wait(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string pending_;
};

}  // namespace tarvo::testing
