#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "link/port_table.h"

namespace tarvo {

// Why a device would not open. Only the permission case changes what the user
// is told; the others all read "OPEN FAIL" in the trace.
enum class OpenFailure { None, Missing, Busy, PermissionDenied, Refused, Other };

struct OpenedDevice {
  PortHandle handle = 0;
  OpenFailure failure = OpenFailure::None;
};

// The operating system's side of a serial port, one device at a time: opened
// exclusively with the meter's line settings, read without ever waiting.
class SerialDevices {
 public:
  virtual ~SerialDevices() = default;

  virtual OpenedDevice open(const std::string& device) = 0;
  virtual bool close(PortHandle handle) = 0;
  // Bytes waiting in the receive queue; nullopt once the device cannot be used
  // any more (unplugged, hung up).
  virtual std::optional<std::int64_t> waiting(PortHandle handle) = 0;
  // Reads up to buffer.size() bytes that are already queued; nullopt as above.
  virtual std::optional<std::int64_t> read(PortHandle handle, std::span<std::uint8_t> buffer) = 0;
  virtual void discard_input(PortHandle handle) = 0;
  // Whether two names lead to one device (a link and the node it points to).
  virtual bool same_device(const std::string& a, const std::string& b) const { return a == b; }
};

// The devices of the platform the program runs on.
std::unique_ptr<SerialDevices> make_system_serial_devices();

}  // namespace tarvo
