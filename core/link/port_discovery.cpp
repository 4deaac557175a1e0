#include "link/port_discovery.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <system_error>

namespace tarvo {
namespace {

bool is_digit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::string_view digit_run(std::string_view s, std::size_t from) {
  std::size_t end = from;
  while (end < s.size() && is_digit(s[end])) ++end;
  return s.substr(from, end - from);
}

// -1, 0, 1 as the values of two digit runs compare, whatever their length.
int compare_numbers(std::string_view a, std::string_view b) {
  const auto trim = [](std::string_view s) {
    const std::size_t first = s.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : s.substr(first);
  };
  a = trim(a);
  b = trim(b);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string read_attribute(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string value;
  in >> value;
  return value;
}

// The kinds of tty that are serial ports; the rest of the name must be a number.
bool serial_tty_name(std::string_view name, std::string_view& kind) {
  static constexpr std::array<std::string_view, 5> kKinds = {"ttyUSB", "ttyACM", "ttyS", "ttyAMA",
                                                             "rfcomm"};
  for (const std::string_view k : kKinds) {
    if (name.size() <= k.size() || !name.starts_with(k)) continue;
    const std::string_view rest = name.substr(k.size());
    if (std::all_of(rest.begin(), rest.end(), is_digit)) {
      kind = k;
      return true;
    }
  }
  return false;
}

// A tty whose hardware is really there. The 8250 driver lists ttyS ports
// whether or not a UART answers (type 0); a bound rfcomm port may have no
// device behind it until it connects. A console is left alone: switching it to
// 2400 baud would garble the system's own messages.
bool usable_tty(const std::filesystem::path& entry, std::string_view kind) {
  std::error_code ec;
  if (kind != "rfcomm" && !std::filesystem::exists(entry / "device", ec)) return false;
  if (kind == "ttyS" && std::filesystem::exists(entry / "type", ec) &&
      read_attribute(entry / "type") == "0") {
    return false;
  }
  return read_attribute(entry / "console") != "Y";
}

void sort_naturally(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return natural_less(a, b); });
}

bool same_device(const std::string& a, const std::string& b) {
  if (a == b) return true;
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

bool natural_less(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (is_digit(a[i]) && is_digit(b[j])) {
      const std::string_view na = digit_run(a, i), nb = digit_run(b, j);
      if (const int c = compare_numbers(na, nb); c != 0) return c < 0;
      i += na.size();
      j += nb.size();
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  if (i < a.size() || j < b.size()) return j < b.size();
  return a < b;  // "ttyS02" and "ttyS2" still get an order
}

std::vector<std::string> linux_serial_devices(const DiscoveryRoots& roots) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(roots.sys_class_tty, ec)) {
    const std::string name = entry.path().filename().string();
    std::string_view kind;
    if (!serial_tty_name(name, kind) || !usable_tty(entry.path(), kind)) continue;
    std::error_code exists_ec;
    if (std::filesystem::exists(roots.dev / name, exists_ec)) names.push_back(name);
  }
  sort_naturally(names);
  std::vector<std::string> devices;
  for (const auto& name : names) devices.push_back((roots.dev / name).string());
  return devices;
}

std::vector<std::string> mac_serial_devices(const std::filesystem::path& dev) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dev, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("cu.") && name.size() > 3) names.push_back(name);
  }
  sort_naturally(names);
  std::vector<std::string> devices;
  for (const auto& name : names) devices.push_back((dev / name).string());
  return devices;
}

std::string windows_port_name(std::int32_t port) {
  return (port < 10 ? "Com" : "\\\\.\\COM") + std::to_string(port);
}

std::vector<std::string> candidate_devices(const std::vector<std::string>& named,
                                           const std::vector<std::string>& found) {
  std::vector<std::string> devices;
  const auto add = [&devices](const std::string& device) {
    if (devices.size() >= static_cast<std::size_t>(kLastPort) || device.empty()) return;
    const bool known = std::any_of(devices.begin(), devices.end(),
                                   [&](const std::string& d) { return same_device(d, device); });
    if (!known) devices.push_back(device);
  };
  for (const auto& device : named) add(device);
  for (const auto& device : found) add(device);
  return devices;
}

PortMap system_port_map(const std::vector<std::string>& named, const DiscoveryRoots& roots) {
#if defined(_WIN32)
  (void)roots;
  std::vector<std::string> system_ports;
  for (std::int32_t port = kFirstPort; port <= kLastPort; ++port) {
    system_ports.push_back(windows_port_name(port));
  }
  // Without named devices, port n is the system's own COMn.
  return {candidate_devices(named, system_ports), !named.empty()};
#elif defined(__APPLE__)
  return {candidate_devices(named, mac_serial_devices(roots.dev)), true};
#else
  return {candidate_devices(named, linux_serial_devices(roots)), true};
#endif
}

}  // namespace tarvo
