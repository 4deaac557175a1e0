#include "simulate_command.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <system_error>

#include "demo_programme.h"
#include "options.h"
#include "pty_meter.h"
#include "scenario_parser.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using sim::Clock;

constexpr long kLongestRun = 365L * 24 * 3600;

struct SimulateOptions {
  MeterModel family = MeterModel::ModelTarvo;
  std::optional<std::string> scenario_file;
  std::optional<fs::path> link;
  std::optional<long> hangup_after;
};

SimulateOptions read_options(const std::vector<std::string>& args) {
  SimulateOptions o;
  OptionReader r(args);
  while (!r.done()) {
    if (auto family = r.take("--family")) {
      o.family = parse_family(*family);
    } else if (auto file = r.take("--scenario")) {
      o.scenario_file = *file;
    } else if (auto link = r.take("--link")) {
      if (link->empty()) throw UsageError("--link needs a path");
      o.link = *link;
    } else if (auto seconds = r.take("--hangup-after")) {
      o.hangup_after = parse_int_in(*seconds, 1, kLongestRun, "--hangup-after");
    } else {
      throw UsageError("unexpected argument \"" + r.take_positional() + "\"");
    }
  }
  return o;
}

sim::Scenario load_scenario(const SimulateOptions& o) {
  if (!o.scenario_file) return sim::demo_scenario(o.family);
  std::ifstream in(*o.scenario_file, std::ios::binary);
  std::ostringstream text;
  if (!in || !(text << in.rdbuf())) {
    throw UsageError("cannot read the scenario file \"" + *o.scenario_file + "\"");
  }
  try {
    return sim::parse_scenario(text.str(), o.family);
  } catch (const sim::ScenarioError& e) {
    throw UsageError(*o.scenario_file + ": " + e.what());
  }
}

// SIGINT and SIGTERM end the run. The handler only raises a flag and wakes the
// loop through a pipe, so a signal between the flag test and poll() is not lost.
volatile std::sig_atomic_t g_stop_requested = 0;
int g_wake_fd = -1;

extern "C" void on_stop_signal(int) {
  const int saved = errno;
  g_stop_requested = 1;
  const char byte = 1;
  if (g_wake_fd >= 0) (void)!write(g_wake_fd, &byte, 1);
  errno = saved;
}

class StopSignals {
 public:
  StopSignals() {
    if (pipe(pipe_) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    for (const int fd : pipe_) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    g_stop_requested = 0;
    g_wake_fd = pipe_[1];
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &old_int_);
    sigaction(SIGTERM, &action, &old_term_);
  }
  ~StopSignals() {
    sigaction(SIGINT, &old_int_, nullptr);
    sigaction(SIGTERM, &old_term_, nullptr);
    g_wake_fd = -1;
    close(pipe_[0]);
    close(pipe_[1]);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  bool requested() const { return g_stop_requested != 0; }

  // Sleeps until `deadline` or a stop signal, whichever comes first.
  void wait_until(Clock::time_point deadline) const {
    int timeout_ms = -1;
    if (deadline != Clock::time_point::max()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      timeout_ms = static_cast<int>(std::clamp<long long>(left.count(), 0, 60'000));
    }
    pollfd p{pipe_[0], POLLIN, 0};
    poll(&p, 1, timeout_ms);
  }

 private:
  int pipe_[2] = {-1, -1};
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
};

// The link replaces an old symbolic link but never a real file, and goes away
// with the run.
class PortLink {
 public:
  PortLink(std::optional<fs::path> link, const std::string& target) : link_(std::move(link)) {
    if (!link_) return;
    if (fs::is_symlink(fs::symlink_status(*link_))) fs::remove(*link_);
    fs::create_symlink(target, *link_);
    target_ = target;
  }
  ~PortLink() {
    std::error_code ignored;
    if (link_ && !target_.empty() && fs::read_symlink(*link_, ignored) == target_) {
      fs::remove(*link_, ignored);
    }
  }
  PortLink(const PortLink&) = delete;
  PortLink& operator=(const PortLink&) = delete;

 private:
  std::optional<fs::path> link_;
  fs::path target_;
};

void run_meter(sim::PtyMeter& meter, const StopSignals& stop) {
  while (!stop.requested()) {
    const Clock::time_point deadline = meter.pump(Clock::now());
    if (meter.hung_up()) return;
    stop.wait_until(deadline);
  }
}

}  // namespace

int run_simulate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<sim::Scenario> scenario;
  SimulateOptions o;
  try {
    o = read_options(args);
    scenario = load_scenario(o);
  } catch (const UsageError& e) {
    err << "tarvo-cli simulate: " << e.what() << '\n';
    return 2;
  }
  try {
    const StopSignals stop;
    sim::PtyMeterOptions options;
    if (o.hangup_after) options.hang_up_after = std::chrono::seconds(*o.hangup_after);
    sim::PtyMeter meter(sim::ScenarioPlayer(std::move(*scenario)), Clock::now(), options);
    const PortLink link(o.link, meter.device_path());
    out << meter.device_path() << '\n' << std::flush;
    run_meter(meter, stop);
  } catch (const std::system_error& e) {
    err << "tarvo-cli simulate: " << e.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace tarvo::cli
