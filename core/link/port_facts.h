#pragma once

#include <string>

#include "link/port_discovery.h"

namespace tarvo {

// What the system knows of a serial device beyond its name, to tell one
// adapter from another. Empty fields are unknown (a pseudo-terminal, or a
// platform that does not say).
struct PortFacts {
  std::string usb;      // vendor and product id: "1a86:7523"
  std::string product;  // the USB product name: "USB Serial"
  std::string serial;   // the USB serial number
  std::string driver;   // the kernel driver: "ch341-uart", "cdc_acm", "serial8250"
};

// Linux reads them from sysfs, following a link such as /dev/serial/by-id/...
// to its tty; other platforms leave them empty.
PortFacts port_facts(const std::string& device, const DiscoveryRoots& roots = {});

}  // namespace tarvo
