#include "link/acquisition.h"

#include "link/meter_probe.h"

namespace tarvo {

MeterModel Acquisition::reset() {
  s_.log.reset_log_counters();
  s_.rx.clear();
  const MeterModel previous = s_.model;
  s_.model = MeterModel::None;
  return previous;
}

MeterModel Acquisition::begin_start(const PortMap& map) {
  if (state_ == AcquisitionState::Acquiring) stop();  // the new map must not strand an open port
  const MeterModel previous = reset();
  state_ = AcquisitionState::Searching;
  ports_.trace().clear();
  ports_.assign(map);
  open_all_ports();
  return previous;
}

void Acquisition::open_all_ports() {
  const PortTable& table = ports_.table();
  for (std::int32_t port = kFirstPort; port <= kLastPort; ++port) {
    // A number with no device has nothing to try; on Windows every number has one.
    if (table[port].status != PortStatus::Closed || ports_.device(port).empty()) continue;
    if (ports_.open_port(port)) ports_.set_status(port, PortStatus::Checking);
  }
}

MeterModel Acquisition::finish_probe() {
  const PortTable& table = ports_.table();
  s_.model = MeterModel::None;
  for (std::int32_t port = kFirstPort; port <= kLastPort; ++port) {
    if (table[port].status != PortStatus::Checking) continue;
    s_.model = probe_port(ports_, port);
    if (s_.model != MeterModel::None) {
      ports_.set_status(port, PortStatus::ReadyToShow);
      s_.ActivePort = port;
      break;
    }
  }
  for (std::int32_t port = kFirstPort; port <= kLastPort; ++port) {
    if (table[port].status != PortStatus::Checking) continue;
    ports_.set_status(port, PortStatus::Closed);
    ports_.close_port(port);
  }
  if (s_.model == MeterModel::None) state_ = AcquisitionState::NoMeter;
  return s_.model;
}

void Acquisition::begin_acquiring() {
  if (state_ == AcquisitionState::Searching && s_.model != MeterModel::None) {
    state_ = AcquisitionState::Acquiring;
  }
}

StartOutcome Acquisition::start(const PortMap& map, StartDriver& driver) {
  driver.start_reset(begin_start(map));
  if (!driver.wait_listening()) return StartOutcome::Abandoned;
  if (finish_probe() == MeterModel::None) return StartOutcome::NoMeter;
  driver.meter_found();
  if (!driver.wait_listening()) return StartOutcome::Abandoned;
  begin_acquiring();
  return StartOutcome::Acquiring;
}

void Acquisition::abandon_start() {
  close_all_ports();
  stop();
}

void Acquisition::stop() {
  if (valid_port(s_.ActivePort)) {
    ports_.close_port(s_.ActivePort);
    ports_.set_status(s_.ActivePort, PortStatus::Closed);
  }
  s_.ActivePort = 0;
  state_ = AcquisitionState::Stopped;
}

TickOutcome Acquisition::tick(ReadingViews* views, const LocalClock& now) {
  if (state_ != AcquisitionState::Acquiring) return TickOutcome::NotAcquiring;
  cycle_step(s_, ports_, views, now);
  // The cycle leaves the port alone on some ticks; this look reads nothing.
  if (ports_.check_connected(s_.ActivePort)) return TickOutcome::Running;
  stop();
  return TickOutcome::MeterLost;
}

void Acquisition::close_all_ports() {
  for (std::int32_t port = kFirstPort; port <= kLastPort; ++port) ports_.close_port(port);
}

bool Acquisition::permission_hint() const {
#if defined(__linux__)
  return ports_.permission_denied();
#else
  return false;  // elsewhere the ports are not kept from users by a group
#endif
}

PortRefusals Acquisition::refusals() const {
  return {permission_hint(), ports_.busy_devices()};
}

namespace {

std::string busy_hint(const Session& s, const std::vector<std::string>& devices) {
  std::string list;
  for (const std::string& device : devices) list += (list.empty() ? "" : ", ") + device;
  std::string text = s.text(kTextPortsBusyHint);
  const std::size_t at = text.find("%1");
  if (at != std::string::npos) text.replace(at, 2, list);
  return text;
}

}  // namespace

std::string no_meter_message(const Session& s, const PortRefusals& why) {
  std::string text = s.text(kTextNoMeter);
  if (!why.busy.empty()) text += "\n" + busy_hint(s, why.busy);
  if (why.permission) text += "\n" + s.text(kTextPortPermissionHint);
  return text;
}

}  // namespace tarvo
