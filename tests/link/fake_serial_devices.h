#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/serial_device.h"

namespace tarvo::testing {

// Devices that exist only in the test: what each holds, and whether it opens.
struct FakeDevice {
  std::vector<std::uint8_t> queued;
  OpenFailure refuse = OpenFailure::None;
  bool gone = false;  // pulled out: every query fails
  bool open = false;
  int queries = 0;  // calls that reached the "operating system" while open
  int purges = 0;
};

class FakeBus {
 public:
  FakeDevice& operator[](const std::string& name) { return devices_[name]; }
  std::unique_ptr<SerialDevices> devices();

 private:
  friend class FakeSerialDevices;
  std::map<std::string, FakeDevice> devices_;
};

}  // namespace tarvo::testing
