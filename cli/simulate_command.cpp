#include "simulate_command.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <system_error>

#include "demo_programme.h"
#include "files/byte_source.h"
#include "options.h"
#include "pty_meter.h"
#include "scenario_parser.h"
#include "stop_signal.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using sim::Clock;

constexpr long kLongestRun = 365L * 24 * 3600;
// Far beyond any scenario a person writes.
constexpr std::uint64_t kLargestScenarioBytes = 16u << 20;

struct SimulateOptions {
  MeterModel family = kDefaultFamily;
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

// A device, a pipe or a huge file is refused before it is read, as Open
// refuses them: /dev/zero would fill the memory, a FIFO without a writer hang.
std::string read_scenario_file(const std::string& file) {
  FileSource source(file, kLargestScenarioBytes);
  std::string text;
  char piece[65536];
  while (source.failure() == OpenFailure::None) {
    const std::optional<std::size_t> got = source.read(piece, sizeof piece);
    if (!got) break;
    if (*got == 0) return text;
    text.append(piece, *got);
    if (text.size() > kLargestScenarioBytes) break;  // grew while it was read
  }
  const std::string why = source.error().empty() ? "it grew while it was read" : source.error();
  throw UsageError("cannot read the scenario file \"" + file + "\": " + why);
}

sim::Scenario load_scenario(const SimulateOptions& o) {
  if (!o.scenario_file) return sim::demo_scenario(o.family);
  const std::string text = read_scenario_file(*o.scenario_file);
  try {
    return sim::parse_scenario(text, o.family);
  } catch (const sim::ScenarioError& e) {
    throw UsageError(*o.scenario_file + ": " + e.what());
  }
}

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

void run_meter(sim::PtyMeter& meter) {
  while (!stop_requested()) {
    const Clock::time_point deadline = meter.pump(Clock::now());
    if (meter.hung_up()) return;
    sleep_until_stopped(deadline);
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
    install_stop_handlers();
    sim::PtyMeterOptions options;
    if (o.hangup_after) options.hang_up_after = std::chrono::seconds(*o.hangup_after);
    sim::PtyMeter meter(sim::ScenarioPlayer(std::move(*scenario)), Clock::now(), options);
    const PortLink link(o.link, meter.device_path());
    out << meter.device_path() << '\n' << std::flush;
    run_meter(meter);
  } catch (const std::system_error& e) {
    err << "tarvo-cli simulate: " << e.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace tarvo::cli
