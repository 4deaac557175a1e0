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

}  // namespace

void install_stop_handlers() {
  g_stop = 0;
#if defined(_WIN32)
  std::signal(SIGINT, on_stop_signal);
  std::signal(SIGTERM, on_stop_signal);
#else
  // Without SA_RESTART, so the signal cuts a sleep short.
  struct sigaction action {};
  action.sa_handler = on_stop_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
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
