#include "stop_signal.h"

#include <algorithm>
#include <csignal>
#include <thread>

#if !defined(_WIN32)
#include <time.h>

#include <cerrno>
#endif

namespace tarvo::cli {
namespace {

volatile std::sig_atomic_t g_stop = 0;

void on_stop_signal(int) {
  g_stop = 1;
}

#if !defined(_WIN32)
// Without SA_RESTART, so the signal cuts a sleep short.
void catch_signal(int signal) {
  struct sigaction action {};
  action.sa_handler = on_stop_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(signal, &action, nullptr);
}

// SIGHUP ignored from the start stays ignored: `nohup tarvo-cli record` must
// outlive its terminal.
void catch_hangup_unless_ignored() {
  struct sigaction before {};
  if (sigaction(SIGHUP, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) return;
  catch_signal(SIGHUP);
}
#endif

}  // namespace

void install_stop_handlers() {
  g_stop = 0;
#if defined(_WIN32)
  std::signal(SIGINT, on_stop_signal);
  std::signal(SIGTERM, on_stop_signal);
#else
  catch_signal(SIGINT);
  catch_signal(SIGTERM);
  catch_hangup_unless_ignored();  // the terminal was closed
#endif
}

void ignore_broken_pipe() {
#if !defined(_WIN32)
  std::signal(SIGPIPE, SIG_IGN);
#endif
}

bool stop_requested() {
  return g_stop != 0;
}

void sleep_until_stopped(std::chrono::steady_clock::time_point deadline) {
#if defined(_WIN32)
  // Ctrl+C is handled on a thread of its own here; a tick of latency is fine.
  std::this_thread::sleep_until(deadline);
#else
  // std::this_thread::sleep_until resumes after a signal; nanosleep returns.
  while (!stop_requested()) {
    // At most a second at a time: a signal that lands between the flag test and
    // the sleep then delays the stop by a second at worst.
    const auto left = std::min<std::chrono::steady_clock::duration>(
        deadline - std::chrono::steady_clock::now(), std::chrono::seconds(1));
    if (left <= std::chrono::steady_clock::duration::zero()) return;
    const auto whole = std::chrono::duration_cast<std::chrono::seconds>(left);
    const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(left - whole);
    timespec ts{static_cast<time_t>(whole.count()), static_cast<long>(nanos.count())};
    if (nanosleep(&ts, nullptr) != 0 && errno != EINTR) return;
  }
#endif
}

}  // namespace tarvo::cli
