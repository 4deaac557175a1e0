#include "link/port_discovery.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class FakeSystem : public ::testing::Test {
 protected:
  FakeSystem() {
    root_ = fs::temp_directory_path() / ("tarvo-discovery-" + std::to_string(getpid()));
    fs::remove_all(root_);
    roots_.sys_class_tty = root_ / "sys";
    roots_.dev = root_ / "dev";
    fs::create_directories(roots_.sys_class_tty);
    fs::create_directories(roots_.dev);
  }
  ~FakeSystem() override { fs::remove_all(root_); }

  struct Tty {
    Tty(std::string n, bool with_device = true, bool with_node = true, std::string uart = "",
        std::string is_console = "")
        : name(std::move(n)),
          device(with_device),
          node(with_node),
          type(std::move(uart)),
          console(std::move(is_console)) {}
    std::string name;
    bool device;          // a device link: hardware behind the tty
    bool node;            // a file in /dev
    std::string type;     // the UART type attribute, when there is one
    std::string console;  // "Y" for a system console
  };
  void add(const Tty& t) {
    const fs::path entry = roots_.sys_class_tty / t.name;
    fs::create_directories(entry);
    if (t.device) fs::create_directories(entry / "device");
    if (!t.type.empty()) std::ofstream(entry / "type") << t.type << '\n';
    if (!t.console.empty()) std::ofstream(entry / "console") << t.console << '\n';
    if (t.node) std::ofstream(roots_.dev / t.name).put('\0');
  }
  std::string dev(const std::string& name) const { return (roots_.dev / name).string(); }

  fs::path root_;
  DiscoveryRoots roots_;
};

TEST_F(FakeSystem, LinuxListsSerialPortsWithHardwareInNaturalOrder) {
  const Tty ttys[] = {
      {"ttyUSB10"},
      {"ttyUSB2"},
      {"ttyUSB0"},
      {"ttyUSB3", false},               // no hardware behind it
      {"ttyUSB4", true, false},         // no device file
      {"ttyS0", true, true, "4", "Y"},  // the system console
      {"ttyS1", true, true, "0"},       // no UART answers
      {"ttyS10", true, true, "4", "N"},
      {"ttyS2", true, true, "4"},
      {"ttyACM0"},
      {"ttyAMA0"},
      {"rfcomm0", false},  // bound, not yet connected
      {"tty0", false},
      {"tty1"},
      {"ttySAC0"},
      {"ttyUSB"},
      {"ptmx", false},
      {"console", false},
  };
  for (const Tty& t : ttys) add(t);
  EXPECT_EQ(linux_serial_devices(roots_),
            (Names{dev("rfcomm0"), dev("ttyACM0"), dev("ttyAMA0"), dev("ttyS2"), dev("ttyS10"),
                   dev("ttyUSB0"), dev("ttyUSB2"), dev("ttyUSB10")}));
}

TEST_F(FakeSystem, MacListsCallOutDevices) {
  for (const char* name : {"cu.usbserial-10", "tty.usbserial-2", "cu.usbserial-2",
                           "cu.Bluetooth-Incoming-Port", "cu.", "null"}) {
    std::ofstream(roots_.dev / name).put('\0');
  }
  EXPECT_EQ(mac_serial_devices(roots_.dev), (Names{dev("cu.Bluetooth-Incoming-Port"),
                                                   dev("cu.usbserial-2"), dev("cu.usbserial-10")}));
}

TEST_F(FakeSystem, NamedDevicesComeFirstAndEachDeviceOnce) {
  add(Tty("ttyUSB0"));
  add(Tty("ttyUSB1"));
  fs::create_symlink(roots_.dev / "ttyUSB1", roots_.dev / "meter");  // a udev-style alias
  const Names named = {dev("meter"), "/dev/elsewhere", "/dev/elsewhere"};
  const PortMap map{candidate_devices(named, linux_serial_devices(roots_))};
  EXPECT_EQ(map.devices, (Names{dev("meter"), "/dev/elsewhere", dev("ttyUSB0")}));
}

TEST(CandidateDevices, StopsAtFiftyPorts) {
  Names named, found;
  for (int i = 0; i < 3; ++i) named.push_back("/named/" + std::to_string(i));
  for (int i = 0; i < 60; ++i) found.push_back("/found/" + std::to_string(i));
  const Names devices = candidate_devices(named, found);
  ASSERT_EQ(devices.size(), 50u);
  EXPECT_EQ(devices[0], "/named/0");
  EXPECT_EQ(devices[3], "/found/0");
  EXPECT_EQ(devices[49], "/found/46");
}

TEST(NaturalLess, ComparesDigitRunsByValue) {
  struct Case {
    const char* a;
    const char* b;
    bool less;
  };
  const Case cases[] = {
      {"ttyS2", "ttyS10", true},    {"ttyS10", "ttyS2", false},
      {"ttyS2", "ttyS2", false},    {"ttyS9", "ttyUSB0", true},
      {"ttyACM1", "ttyAMA0", true}, {"ttyUSB", "ttyUSB0", true},
      {"ttyUSB0", "ttyUSB", false}, {"a2b10", "a2b9", false},
      {"a2b9", "a2b10", true},      {"ttyS02", "ttyS2", true},
      {"ttyS2", "ttyS02", false},   {"x99999999999999999999", "x100000000000000000000", true},
  };
  for (const Case& c : cases) EXPECT_EQ(natural_less(c.a, c.b), c.less) << c.a << " < " << c.b;
}

TEST(WindowsPortName, ShortFormBelowTenDeviceNamespaceFromTen) {
  EXPECT_EQ(windows_port_name(1), "Com1");
  EXPECT_EQ(windows_port_name(9), "Com9");
  EXPECT_EQ(windows_port_name(10), "\\\\.\\COM10");
  EXPECT_EQ(windows_port_name(50), "\\\\.\\COM50");
}

}  // namespace
}  // namespace tarvo
