#include "link/serial_ports.h"

#include <algorithm>
#include <array>

namespace tarvo {
namespace {

const std::string kNoDevice;

}  // namespace

SerialPorts::SerialPorts(std::unique_ptr<SerialDevices> devices, PortTrace& trace)
    : devices_(std::move(devices)), trace_(trace) {
  mark_all_closed();
}

void SerialPorts::set_status(std::int32_t port, PortStatus status) {
  if (valid_port(port)) table_[port].status = status;
}

void SerialPorts::mark_all_closed() {
  for (std::int32_t port = kFirstPort; port <= kLastPort; ++port)
    set_status(port, PortStatus::Closed);
}

SerialPorts::~SerialPorts() {
  for (com_Status& entry : table_) {
    if (entry.hSerialPort != 0) devices_->close(entry.hSerialPort);
  }
}

void SerialPorts::assign(const PortMap& map) {
  permission_denied_ = false;
  busy_devices_.clear();
  for (std::int32_t port = kFirstPort; port <= kLastPort; ++port) {
    const auto i = static_cast<std::size_t>(port - 1);
    links_[port].device = i < map.devices.size() ? map.devices[i] : std::string();
    links_[port].refusal = OpenFailure::None;
    if (map.traced && !links_[port].device.empty()) trace_.mapped(port, links_[port].device);
  }
}

const std::string& SerialPorts::device(std::int32_t port) const {
  return valid_port(port) ? links_[port].device : kNoDevice;
}

bool SerialPorts::open_port(std::int32_t port) {
  if (!valid_port(port)) return false;
  com_Status& entry = table_[port];
  if (entry.hSerialPort != 0) devices_->close(entry.hSerialPort);  // never leak a handle
  entry.hSerialPort = 0;
  links_[port].lost = false;
  links_[port].refusal = OpenFailure::None;

  OpenedDevice opened;
  opened.failure = OpenFailure::Missing;
  if (!links_[port].device.empty()) opened = devices_->open(links_[port].device);
  if (opened.handle == 0) {
    note_refusal(port, opened.failure);
    trace_.open_failed(port);
    return false;
  }
  entry.hSerialPort = opened.handle;
  trace_.opened(port);
  return true;
}

bool SerialPorts::close_port(std::int32_t port) {
  if (!valid_port(port)) return false;
  com_Status& entry = table_[port];
  if (entry.hSerialPort == 0) return false;
  const bool closed = devices_->close(entry.hSerialPort);
  entry.hSerialPort = 0;
  links_[port].lost = false;
  if (!closed) return false;
  trace_.closed(port);
  return true;
}

std::int32_t SerialPorts::read_available(std::int32_t port, std::span<std::uint8_t> buffer) {
  if (!valid_port(port)) return 0;
  const PortHandle handle = table_[port].hSerialPort;
  if (handle == 0 || links_[port].lost) return 0;

  const std::optional<std::int64_t> queued = devices_->waiting(handle);
  if (!queued) {
    mark_lost(port);
    return 0;
  }
  if (*queued <= 0) return 0;
  if (*queued > kMostWaiting) {
    devices_->discard_input(handle);
    return 0;
  }
  std::array<std::uint8_t, kMostWaiting> block;
  const std::optional<std::int64_t> got =
      devices_->read(handle, std::span(block).first(static_cast<std::size_t>(*queued)));
  if (!got) {
    mark_lost(port);
    return 0;
  }
  const auto n = static_cast<std::size_t>(std::min<std::int64_t>(*got, std::ssize(buffer)));
  std::copy_n(block.begin(), n, buffer.begin());
  if (n > 0) trace_.read(port, std::span(block).first(n));
  return static_cast<std::int32_t>(n);
}

bool SerialPorts::check_connected(std::int32_t port) {
  if (!valid_port(port)) return false;
  const PortHandle handle = table_[port].hSerialPort;
  if (handle == 0) return false;
  if (links_[port].lost) return false;
  if (!devices_->waiting(handle)) {
    mark_lost(port);
    return false;
  }
  return true;
}

bool SerialPorts::lost(std::int32_t port) const {
  return valid_port(port) && links_[port].lost;
}

OpenFailure SerialPorts::open_failure(std::int32_t port) const {
  return valid_port(port) ? links_[port].refusal : OpenFailure::None;
}

void SerialPorts::note_refusal(std::int32_t port, OpenFailure failure) {
  links_[port].refusal = failure;
  if (failure == OpenFailure::PermissionDenied) permission_denied_ = true;
  const std::string& device = links_[port].device;
  if (failure == OpenFailure::Busy && !held_here(device)) busy_devices_.push_back(device);
}

// A device named twice (a /dev/serial/by-id link and its ttyUSB node) is busy
// the second time because this program holds it: no other program to name.
bool SerialPorts::held_here(const std::string& device) const {
  for (std::int32_t port = kFirstPort; port <= kLastPort; ++port) {
    if (table_[port].hSerialPort != 0 && devices_->same_device(links_[port].device, device)) {
      return true;
    }
  }
  return false;
}

void SerialPorts::mark_lost(std::int32_t port) {
  links_[port].lost = true;
  trace_.disconnected(port);
}

}  // namespace tarvo
