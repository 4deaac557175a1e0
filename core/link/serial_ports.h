#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "link/debug_trace.h"
#include "link/polling_cycle.h"
#include "link/port_table.h"
#include "link/serial_device.h"

namespace tarvo {

// Which device each port number stands for on this run: devices[0] is port 1.
struct PortMap {
  std::vector<std::string> devices;
  // False where the numbers are the system's own port names, which need no
  // explanation in the trace.
  bool traced = true;
};

// Ports 1 to 50: opens, reads and closes them and keeps their status records,
// which nothing else writes: the handle follows open and close, the status is
// what the acquisition sets through set_status. Every open, close and
// non-empty read writes its line to the trace.
class SerialPorts final : public PortReader {
 public:
  // A read that finds more bytes waiting than this throws them all away.
  static constexpr std::int64_t kMostWaiting = 10241;

  SerialPorts(std::unique_ptr<SerialDevices> devices, PortTrace& trace);
  // Releases what is still open without a trace line, as the system does when
  // the program ends.
  ~SerialPorts() override;
  SerialPorts(const SerialPorts&) = delete;
  SerialPorts& operator=(const SerialPorts&) = delete;

  const PortTable& table() const { return table_; }
  void set_status(std::int32_t port, PortStatus status);
  // Start-up: every port is marked closed.
  void mark_all_closed();
  PortTrace& trace() { return trace_; }

  // Numbers the devices from port 1 (at most 50) and writes one line per
  // device when the map is traced. Forgets earlier permission and busy failures.
  void assign(const PortMap& map);
  // The device of a port; empty when it has none.
  const std::string& device(std::int32_t port) const;

  bool open_port(std::int32_t port);
  bool close_port(std::int32_t port);
  std::int32_t read_available(std::int32_t port, std::span<std::uint8_t> buffer) override;

  // False once the device of an open port has gone away. Looks without reading;
  // the first time it notices, it writes the line that read_available would have.
  bool check_connected(std::int32_t port);
  bool lost(std::int32_t port) const;

  // True when an open since the last assign failed for lack of permission.
  bool permission_denied() const { return permission_denied_; }
  // The devices that would not open since the last assign because another
  // program holds them, in port order.
  const std::vector<std::string>& busy_devices() const { return busy_devices_; }
  // Before the busy ones are tried again: those still held come back.
  void forget_busy() { busy_devices_.clear(); }
  // Why the last open of a port failed; None when it succeeded or was not tried.
  OpenFailure open_failure(std::int32_t port) const;

 private:
  struct PortLink {
    std::string device;
    bool lost = false;
    OpenFailure refusal = OpenFailure::None;
  };
  void mark_lost(std::int32_t port);
  void note_refusal(std::int32_t port, OpenFailure failure);
  bool held_here(const std::string& device) const;

  std::unique_ptr<SerialDevices> devices_;
  PortTrace& trace_;
  PortTable table_;
  std::array<PortLink, kLastPort + 1> links_;
  bool permission_denied_ = false;
  std::vector<std::string> busy_devices_;
};

}  // namespace tarvo
