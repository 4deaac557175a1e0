#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "link/serial_ports.h"

namespace tarvo {

// Where the serial devices of the system are listed; tests point these at a
// tree of their own.
struct DiscoveryRoots {
  std::filesystem::path sys_class_tty = "/sys/class/tty";
  std::filesystem::path dev = "/dev";
};

// "ttyS2" before "ttyS10": runs of digits compare by their value.
bool natural_less(std::string_view a, std::string_view b);

// Linux: the serial ports with hardware behind them (ttyUSB, ttyACM, ttyS with a
// UART, ttyAMA, rfcomm) that have a device file, system consoles left out.
std::vector<std::string> linux_serial_devices(const DiscoveryRoots& roots);
// macOS: the call-out devices /dev/cu.*.
std::vector<std::string> mac_serial_devices(const std::filesystem::path& dev);
// Windows: "Com3" for ports below 10, "\\.\COM12" from 10 on.
std::string windows_port_name(std::int32_t port);

// The ports of one Start: the devices the user named, in their order, then the
// ones found, each device once, at most 50.
std::vector<std::string> candidate_devices(const std::vector<std::string>& named,
                                           const std::vector<std::string>& found);

// The port map of this platform for one Start.
PortMap system_port_map(const std::vector<std::string>& named, const DiscoveryRoots& roots = {});

}  // namespace tarvo
