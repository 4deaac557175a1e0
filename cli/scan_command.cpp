// tarvo-cli scan opens the ports as Start does (Acquisition::begin_start over
// the same port map), but probes every one of them instead of stopping at the
// first meter, so the user sees what each port carries.
#include "scan_command.h"

#include <chrono>
#include <exception>
#include <filesystem>
#include <new>
#include <ostream>
#include <system_error>
#include <thread>

#include "decode/meter_family.h"
#include "link/acquisition.h"
#include "link/meter_probe.h"
#include "link/meter_state.h"
#include "link/port_facts.h"
#include "options.h"
#include "reading_json.h"

namespace tarvo::cli {
namespace {

constexpr const char* kPrefix = "tarvo-cli scan: ";

struct ScanOptions {
  std::vector<std::string> ports;
  bool json = false;
};

ScanOptions read_options(const std::vector<std::string>& args) {
  ScanOptions o;
  OptionReader r(args);
  while (!r.done()) {
    if (auto port = r.take_each("--port")) {
      if (port->empty()) throw UsageError("--port needs a device path");
      o.ports.push_back(*port);
    } else if (r.take_flag("--json")) {
      o.json = true;
    } else {
      throw UsageError("unexpected argument \"" + r.take_positional() + "\"");
    }
  }
  return o;
}

struct ScannedPort {
  std::string path;
  PortFacts facts;
  bool opened = false;
  OpenFailure failure = OpenFailure::None;
  MeterModel family = MeterModel::None;
};

std::string reason_text(OpenFailure failure) {
  switch (failure) {
    case OpenFailure::None:
      return "";
    case OpenFailure::Missing:
      return "no such device";
    case OpenFailure::Busy:
      return "busy: another program holds it";
    case OpenFailure::PermissionDenied:
#if defined(__linux__)
      return "permission denied: join the dialout group (sudo usermod -aG dialout $USER), then "
             "log in again";
#else
      return "permission denied";
#endif
    case OpenFailure::Refused:
      return "not a serial port: it refused the line settings";
    case OpenFailure::Other:
      break;
  }
  return "could not be opened";
}

std::string family_name(MeterModel model) {
  const MeterFamily* family = family_of(model);
  return family != nullptr ? std::string(family->name) : std::string();
}

// Start's first step over the map, then one probe of every port that opened.
std::vector<ScannedPort> scan_ports(const PortMap& map, const ScanEnvironment& env) {
  MeterState s;
  MemoryTrace sink;
  PortTrace trace(sink);
  SerialPorts ports(make_system_serial_devices(), trace);
  Acquisition acquisition(s, ports);
  acquisition.begin_start(map);
  env.listen();

  std::vector<ScannedPort> scanned;
  for (std::int32_t port = kFirstPort; port <= kLastPort && !ports.device(port).empty(); ++port) {
    ScannedPort p;
    p.path = ports.device(port);
    p.facts = port_facts(p.path, env.roots);
    p.opened = ports.table()[port].status == PortStatus::Checking;
    p.failure = ports.open_failure(port);
    if (p.opened) p.family = probe_port(ports, port);
    scanned.push_back(std::move(p));
  }
  acquisition.abandon_start();
  return scanned;
}

void print_json(const std::vector<ScannedPort>& scanned, std::ostream& out) {
  for (const ScannedPort& p : scanned) {
    nlohmann::ordered_json j;
    j["path"] = p.path;
    j["opened"] = p.opened;
    j["family"] = family_name(p.family);
    j["usb"] = p.facts.usb;
    j["reason"] = reason_text(p.failure);
    j["product"] = p.facts.product;
    j["serial"] = p.facts.serial;
    j["driver"] = p.facts.driver;
    out << json_line(j) << '\n';
  }
}

std::string shown_path(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(path, ec)) return path;
  const std::filesystem::path target = std::filesystem::canonical(path, ec);
  return ec ? path : path + " -> " + target.string();
}

std::string facts_text(const PortFacts& f) {
  std::string text;
  const auto add = [&text](const std::string& part) {
    if (!part.empty()) text += (text.empty() ? "" : ", ") + part;
  };
  if (!f.usb.empty()) add("USB " + f.usb + (f.product.empty() ? "" : " " + f.product));
  if (!f.serial.empty()) add("serial " + f.serial);
  if (!f.driver.empty()) add("driver " + f.driver);
  return text;
}

std::string state_text(const ScannedPort& p) {
  if (!p.opened) return "not opened: " + reason_text(p.failure);
  if (p.family == MeterModel::None) return "opened, no meter frames in 1 s";
  return "opened, " + family_name(p.family) + " meter frames";
}

void print_text(const std::vector<ScannedPort>& scanned, std::ostream& out) {
  if (scanned.empty()) out << "No serial ports.\n";
  const ScannedPort* chosen = nullptr;
  for (const ScannedPort& p : scanned) {
    out << shown_path(p.path) << '\n';
    if (const std::string facts = facts_text(p.facts); !facts.empty()) out << "  " << facts << '\n';
    out << "  " << state_text(p) << '\n';
    if (chosen == nullptr && p.family != MeterModel::None) chosen = &p;
  }
  if (chosen != nullptr) {
    out << "Start would use " << chosen->path << ".\n";
  } else if (!scanned.empty()) {
    out << "No port carried meter frames.\n";
  }
}

bool meter_found(const std::vector<ScannedPort>& scanned) {
  for (const ScannedPort& p : scanned) {
    if (p.family != MeterModel::None) return true;
  }
  return false;
}

}  // namespace

ScanEnvironment system_scan_environment() {
  ScanEnvironment env;
  env.listen = [] { std::this_thread::sleep_for(std::chrono::seconds(1)); };
  return env;
}

int run_scan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return run_scan(args, out, err, system_scan_environment());
}

int run_scan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const ScanEnvironment& env) {
  ScanOptions o;
  try {
    o = read_options(args);
  } catch (const UsageError& e) {
    err << kPrefix << e.what() << '\n';
    return 2;
  }
  try {
    const std::vector<ScannedPort> scanned = scan_ports(system_port_map(o.ports, env.roots), env);
    if (o.json) {
      print_json(scanned, out);
    } else {
      print_text(scanned, out);
    }
    out << std::flush;
    return meter_found(scanned) ? 0 : 3;
  } catch (const std::bad_alloc&) {
    err << kPrefix << "not enough memory\n";
  } catch (const std::exception& e) {
    err << kPrefix << e.what() << '\n';
  }
  return 1;
}

}  // namespace tarvo::cli
