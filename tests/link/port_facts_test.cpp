#include "link/port_facts.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// A sysfs laid out as Linux lays it out for a usb-serial adapter (ttyUSB: the
// USB device two levels above the tty's device), a CDC modem (ttyACM: one
// level) and a UART on the board (ttyS: no USB at all).
class FakeSysfs : public ::testing::Test {
 protected:
  FakeSysfs() {
    root_ = fs::temp_directory_path() / ("tarvo-facts-" + std::to_string(getpid()));
    fs::remove_all(root_);
    roots_.sys_class_tty = root_ / "sys/class/tty";
    roots_.dev = root_ / "dev";
    fs::create_directories(roots_.dev / "serial/by-id");

    usb_device("usb1/1-2", "1a86", "7523", "USB Serial", "");
    tty("ttyUSB0", "usb1/1-2/1-2:1.0/ttyUSB0", "usb-serial/drivers/ch341-uart");
    usb_device("usb3/3-1", "2341", "0043", "Arduino Uno", "7563331313335");
    tty("ttyACM0", "usb3/3-1/3-1:1.0", "usb/drivers/cdc_acm");
    tty("ttyS0", "platform/serial8250", "platform/drivers/serial8250");
    fs::create_symlink("../../ttyUSB0", roots_.dev / "serial/by-id/usb-1a86_USB_Serial-port0");
  }
  ~FakeSysfs() override { fs::remove_all(root_); }

  void usb_device(const std::string& path, const std::string& vendor, const std::string& product_id,
                  const std::string& product, const std::string& serial) {
    const fs::path dir = root_ / "sys/devices" / path;
    fs::create_directories(dir);
    std::ofstream(dir / "idVendor") << vendor << '\n';
    std::ofstream(dir / "idProduct") << product_id << '\n';
    std::ofstream(dir / "product") << product << '\n';
    if (!serial.empty()) std::ofstream(dir / "serial") << serial << '\n';
  }
  void tty(const std::string& name, const std::string& device, const std::string& driver) {
    const fs::path device_dir = root_ / "sys/devices" / device;
    const fs::path driver_dir = root_ / "sys/bus" / driver;
    fs::create_directories(device_dir);
    fs::create_directories(driver_dir);
    fs::create_symlink(driver_dir, device_dir / "driver");
    fs::create_directories(roots_.sys_class_tty / name);
    fs::create_directory_symlink(device_dir, roots_.sys_class_tty / name / "device");
    std::ofstream(roots_.dev / name).put('\0');
  }
  std::string dev(const std::string& name) const { return (roots_.dev / name).string(); }

  fs::path root_;
  DiscoveryRoots roots_;
};

TEST_F(FakeSysfs, TellsUsbIdsProductSerialAndDriver) {
  struct Case {
    std::string device;
    PortFacts facts;
  };
  const Case cases[] = {
      {dev("ttyUSB0"), {"1a86:7523", "USB Serial", "", "ch341-uart"}},
      {dev("serial/by-id/usb-1a86_USB_Serial-port0"),
       {"1a86:7523", "USB Serial", "", "ch341-uart"}},
      {dev("ttyACM0"), {"2341:0043", "Arduino Uno", "7563331313335", "cdc_acm"}},
      {dev("ttyS0"), {"", "", "", "serial8250"}},
      {dev("ttyUSB9"), {}},  // gone
      {"/dev/pts/0", {}},    // a pseudo-terminal has no hardware
  };
  for (const Case& c : cases) {
    const PortFacts f = port_facts(c.device, roots_);
    EXPECT_EQ(f.usb, c.facts.usb) << c.device;
    EXPECT_EQ(f.product, c.facts.product) << c.device;
    EXPECT_EQ(f.serial, c.facts.serial) << c.device;
    EXPECT_EQ(f.driver, c.facts.driver) << c.device;
  }
}

}  // namespace
}  // namespace tarvo
