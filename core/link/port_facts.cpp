#include "link/port_facts.h"

#include <fstream>
#include <system_error>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

#if defined(__linux__)

std::string first_line(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// The sysfs entry of the device's tty: by the name given, else by the name of
// the node a link leads to.
fs::path tty_entry(const std::string& device, const DiscoveryRoots& roots) {
  std::error_code ec;
  const fs::path named = roots.sys_class_tty / fs::path(device).filename();
  if (fs::exists(named, ec)) return named;
  const fs::path node = fs::canonical(device, ec);
  if (ec) return {};
  const fs::path resolved = roots.sys_class_tty / node.filename();
  return fs::exists(resolved, ec) ? resolved : fs::path();
}

// The USB device sits a level or two above the tty's own device: the
// interface (ttyACM) or the interface's usb-serial port (ttyUSB).
void add_usb_facts(const fs::path& device_dir, PortFacts& facts) {
  std::error_code ec;
  fs::path dir = fs::canonical(device_dir, ec);
  for (int level = 0; !ec && level < 4 && dir.has_relative_path();
       ++level, dir = dir.parent_path()) {
    if (!fs::exists(dir / "idVendor", ec)) continue;
    facts.usb = first_line(dir / "idVendor") + ":" + first_line(dir / "idProduct");
    facts.product = first_line(dir / "product");
    facts.serial = first_line(dir / "serial");
    return;
  }
}

#endif

}  // namespace

PortFacts port_facts(const std::string& device, const DiscoveryRoots& roots) {
  PortFacts facts;
#if defined(__linux__)
  const fs::path entry = tty_entry(device, roots);
  if (entry.empty()) return facts;
  std::error_code ec;
  const fs::path driver = fs::read_symlink(entry / "device" / "driver", ec);
  if (!ec) facts.driver = driver.filename().string();
  add_usb_facts(entry / "device", facts);
#else
  (void)device;
  (void)roots;
#endif
  return facts;
}

}  // namespace tarvo
