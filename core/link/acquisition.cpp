#include "link/acquisition.h"

#include <algorithm>

#include "link/meter_probe.h"

namespace tarvo {

MeterModel Acquisition::reset() {
  s_.log.reset_log_counters();
  s_.rx.clear();
  s_.frames.clear();
  s_.GapPending = false;
  const MeterModel previous = s_.model;
  s_.model = MeterModel::None;
  return previous;
}

MeterModel Acquisition::begin_start(const PortMap& map) {
  if (state_ == AcquisitionState::Acquiring || state_ == AcquisitionState::Waiting) {
    stop();  // the new map must not strand an open port
  }
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

// The ports without frames stay closed: they are known not to be the meter,
// and another program may be looking for its own meter among them.
bool Acquisition::reopen_busy_ports() {
  if (state_ != AcquisitionState::NoMeter || ports_.busy_devices().empty()) return false;
  std::vector<std::int32_t> busy;
  for (std::int32_t port = kFirstPort; port <= kLastPort; ++port) {
    if (ports_.open_failure(port) == OpenFailure::Busy) busy.push_back(port);
  }
  ports_.forget_busy();
  // One still held gets the next listen too: its holder may be about to let
  // it go.
  for (const std::int32_t port : busy) {
    if (ports_.table()[port].status == PortStatus::Closed && ports_.open_port(port)) {
      ports_.set_status(port, PortStatus::Checking);
    }
  }
  state_ = AcquisitionState::Searching;
  return !busy.empty();
}

void Acquisition::begin_acquiring() {
  if (state_ == AcquisitionState::Searching && s_.model != MeterModel::None) {
    state_ = AcquisitionState::Acquiring;
    tell(&AcquisitionListener::acquisition_began);
  }
}

StartOutcome Acquisition::start(const PortMap& map, StartDriver& driver) {
  driver.start_reset(begin_start(map));
  if (!driver.wait_listening()) return StartOutcome::Abandoned;
  MeterModel found = finish_probe();
  for (int retry = 0; found == MeterModel::None && retry < kBusyRetries; ++retry) {
    if (!reopen_busy_ports()) break;
    if (!driver.wait_listening()) return StartOutcome::Abandoned;
    found = finish_probe();
  }
  if (found == MeterModel::None) return StartOutcome::NoMeter;
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
  const bool running = state_ == AcquisitionState::Acquiring || state_ == AcquisitionState::Waiting;
  if (state_ == AcquisitionState::Waiting) close_candidates();
  ports_.trace().set_quiet(false);
  if (valid_port(s_.ActivePort)) {
    ports_.close_port(s_.ActivePort);
    ports_.set_status(s_.ActivePort, PortStatus::Closed);
  }
  s_.ActivePort = 0;
  state_ = AcquisitionState::Stopped;
  if (running) tell(&AcquisitionListener::acquisition_stopped);
}

TickOutcome Acquisition::tick(ReadingViews* views, const LocalClock& now) {
  if (state_ == AcquisitionState::Waiting) return wait_tick();
  if (state_ != AcquisitionState::Acquiring) return TickOutcome::NotAcquiring;
  cycle_step(s_, ports_, views, now);
  // The cycle leaves the port alone on some ticks; this look reads nothing.
  if (ports_.check_connected(s_.ActivePort)) return TickOutcome::Running;
  if (!scan_) {
    stop();
    return TickOutcome::MeterLost;
  }
  lose_meter();
  return TickOutcome::LostWaiting;
}

void Acquisition::lose_meter() {
  lost_device_ = ports_.device(s_.ActivePort);
  ports_.close_port(s_.ActivePort);
  ports_.set_status(s_.ActivePort, PortStatus::Closed);
  s_.ActivePort = 0;
  known_devices_ = scan_().devices;
  state_ = AcquisitionState::Waiting;
  ports_.trace().note("Meter lost on " + lost_device_ + "; waiting for it to come back");
  ports_.trace().set_quiet(true);
  tell(&AcquisitionListener::meter_lost);
  open_candidates();
}

TickOutcome Acquisition::wait_tick() {
  if (probe_candidates()) {
    ports_.trace().set_quiet(false);
    ports_.trace().note("Meter back on " + ports_.device(s_.ActivePort));
    s_.rx.clear();  // bytes from before the loss are no reading of now
    s_.frames.clear();
    s_.TickCount = 0;
    s_.GapPending = true;
    state_ = AcquisitionState::Acquiring;
    tell(&AcquisitionListener::meter_back);
    return TickOutcome::MeterBack;
  }
  open_candidates();
  return TickOutcome::Waiting;
}

// The ports opened a tick ago have listened for a second: the first with
// frames of the family that was lost becomes the active port again.
bool Acquisition::probe_candidates() {
  const PortTable& table = ports_.table();
  for (std::int32_t port = kFirstPort; port <= kLastPort; ++port) {
    if (table[port].status != PortStatus::Checking) continue;
    if (probe_port(ports_, port) == s_.model) {
      ports_.set_status(port, PortStatus::ReadyToShow);
      s_.ActivePort = port;
      break;
    }
  }
  close_candidates();
  return s_.ActivePort != 0;
}

void Acquisition::close_candidates() {
  const PortTable& table = ports_.table();
  for (std::int32_t port = kFirstPort; port <= kLastPort; ++port) {
    if (table[port].status != PortStatus::Checking) continue;
    ports_.set_status(port, PortStatus::Closed);
    ports_.close_port(port);
  }
}

// The lost device first, then every device that was not there at the loss
// (an adapter plugged in again may come back under another name).
void Acquisition::open_candidates() {
  std::vector<std::string> devices{lost_device_};
  for (const std::string& device : scan_().devices) {
    const bool known =
        std::find(known_devices_.begin(), known_devices_.end(), device) != known_devices_.end();
    if (!known && device != lost_device_) devices.push_back(device);
  }
  ports_.assign(PortMap{devices, false});
  open_all_ports();
}

void Acquisition::remove_listener(AcquisitionListener* listener) {
  std::erase(listeners_, listener);
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

std::string busy_hint(const MeterState& s, const std::vector<std::string>& devices) {
  std::string list;
  for (const std::string& device : devices) list += (list.empty() ? "" : ", ") + device;
  std::string text = s.text(kTextPortsBusyHint);
  const std::size_t at = text.find("%1");
  if (at != std::string::npos) text.replace(at, 2, list);
  return text;
}

}  // namespace

std::string no_meter_message(const MeterState& s, const PortRefusals& why) {
  std::string text = s.text(kTextNoMeter);
  if (!why.busy.empty()) text += "\n" + busy_hint(s, why.busy);
  if (why.permission) text += "\n" + s.text(kTextPortPermissionHint);
  return text;
}

}  // namespace tarvo
