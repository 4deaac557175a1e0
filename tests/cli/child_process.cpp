#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <thread>

namespace tarvo::testing {
namespace {

using Clock = std::chrono::steady_clock;

// As a shell starts a foreground job: whatever the test runner ignores or
// blocks, the program gets its signals.
[[noreturn]] void exec(const std::vector<std::string>& argv) {
  for (const int signal : {SIGHUP, SIGINT, SIGTERM, SIGPIPE}) std::signal(signal, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execv(args[0], args.data());
  _exit(127);
}

void make_pipe(int fds[2]) {
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
}

enum class Read { Data, Timeout, End };

// Reads what is there within the time left.
Read read_some(int fd, std::string& into, int timeout_ms) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, timeout_ms) <= 0) return Read::Timeout;
  char block[4096];
  const ssize_t n = ::read(fd, block, sizeof block);
  if (n < 0 && errno == EINTR) return Read::Data;
  if (n <= 0) return Read::End;  // EIO: a terminal whose child is gone
  into.append(block, static_cast<std::size_t>(n));
  return Read::Data;
}

// Everything up to the end of the stream, or to ten seconds of silence.
std::string drain(int fd) {
  std::string all;
  while (fd >= 0 && read_some(fd, all, 10000) == Read::Data) {
  }
  return all;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, Streams streams) {
  if (streams == Streams::Terminal) {
    pid_ = forkpty(&out_, nullptr, nullptr, nullptr);
    if (pid_ == 0) exec(argv);
    if (pid_ < 0) throw std::runtime_error("forkpty failed");
    return;
  }
  int out[2], err[2];
  make_pipe(out);
  make_pipe(err);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    exec(argv);
  }
  close(out[1]);
  close(err[1]);
  if (pid_ < 0) throw std::runtime_error("fork failed");
  out_ = out[0];
  err_ = err[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) wait(std::chrono::milliseconds(0));
  close_output();
  if (err_ >= 0) close(err_);
}

std::optional<std::string> ChildProcess::read_line(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (true) {
    const std::size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0 || out_ < 0) return std::nullopt;
    if (read_some(out_, pending_, static_cast<int>(left)) == Read::End) return std::nullopt;
  }
}

std::string ChildProcess::read_rest() {
  std::string rest = pending_ + drain(out_);
  pending_.clear();
  return rest;
}

std::string ChildProcess::read_error() {
  return drain(err_);
}

void ChildProcess::close_output() {
  if (out_ >= 0) close(out_);
  out_ = -1;
}

int ChildProcess::wait(std::chrono::milliseconds timeout) {
  // Waited for already: a pid of -1 would wait for, and kill, any process.
  if (pid_ <= 0) return -1;
  const auto deadline = Clock::now() + timeout;
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (Clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      pid_ = -1;
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tarvo::testing
