#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tarvo {

// Where a port stands in discovery. Unset only before the port layer exists.
enum class PortStatus { Unset, Closed, Checking, ReadyToShow };

constexpr std::string_view status_text(PortStatus s) {
  switch (s) {
    case PortStatus::Closed:
      return "Closed";
    case PortStatus::Checking:
      return "Checking";
    case PortStatus::ReadyToShow:
      return "Ready to show";
    case PortStatus::Unset:
      break;
  }
  return "";
}

// An operating-system handle of an open device; 0 when the port is not open.
// Pointer-sized because a handle of a 64-bit Windows process is.
using PortHandle = std::uintptr_t;

struct com_Status {
  PortStatus status = PortStatus::Unset;
  bool is_Activities = false;  // kept for the record layout; nothing uses them
  bool is_real = false;
  std::int32_t Activ_ID = 0;
  std::int32_t real_count = 0;
  std::int32_t err_count = 0;
  PortHandle hSerialPort = 0;
};

inline constexpr std::int32_t kFirstPort = 1;
inline constexpr std::int32_t kLastPort = 50;

// Indexed by port number; entry 0 is never opened.
using PortTable = std::array<com_Status, kLastPort + 1>;

constexpr bool valid_port(std::int32_t port) {
  return port >= kFirstPort && port <= kLastPort;
}

}  // namespace tarvo
