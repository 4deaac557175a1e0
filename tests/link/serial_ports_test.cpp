#include "link/serial_ports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_serial_devices.h"

namespace tarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using testing::FakeBus;

class PortLayer : public ::testing::Test {
 protected:
  PortLayer() {
    bus_["/dev/ttyUSB0"];
    bus_["/dev/ttyUSB1"];
    ports_.assign(PortMap{{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/absent"}, false});
  }

  FakeBus bus_;
  MemoryTrace sink_;
  PortTrace trace_{sink_, [] { return LocalTime{2026, 12, 9, 10, 0, 5, 45}; }};
  SerialPorts ports_{bus_.devices(), trace_};
};

TEST_F(PortLayer, OpenAndCloseWriteOneLineEach) {
  EXPECT_FALSE(ports_.close_port(1));  // not open: nothing, no line
  EXPECT_TRUE(ports_.open_port(1));
  EXPECT_NE(ports_.table()[1].hSerialPort, 0u);
  EXPECT_FALSE(ports_.open_port(3));  // its device does not exist
  EXPECT_FALSE(ports_.open_port(4));  // no device at all for this number
  EXPECT_TRUE(ports_.close_port(1));
  EXPECT_FALSE(ports_.close_port(1));
  EXPECT_FALSE(ports_.open_port(0));
  EXPECT_FALSE(ports_.open_port(51));
  EXPECT_EQ(ports_.table()[1].hSerialPort, 0u);
  EXPECT_EQ(sink_.lines(), (Lines{"10:00:05.45  COM1  IS OPEN", "10:00:05.45  COM3  OPEN FAIL",
                                  "10:00:05.45  COM4  OPEN FAIL", "10:00:05.45  COM1  IS Closed"}));
  EXPECT_FALSE(bus_["/dev/ttyUSB0"].open);
}

TEST_F(PortLayer, ReadDeliversWhatWaitsUpToTheCapacityAndPurgesFloods) {
  struct Case {
    std::size_t waiting;
    std::size_t capacity;
    std::int32_t delivered;
    bool purged;
  };
  const Case cases[] = {
      {0, 8192, 0, false},        {3, 8192, 3, false},     {10241, 12000, 10241, false},
      {10241, 8192, 8192, false}, {10242, 12000, 0, true}, {20000, 8192, 0, true},
  };
  ASSERT_TRUE(ports_.open_port(2));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.waiting) + " waiting, capacity " + std::to_string(c.capacity));
    sink_.clear();
    Bytes queued(c.waiting);
    for (std::size_t i = 0; i < queued.size(); ++i) queued[i] = static_cast<std::uint8_t>(i * 7);
    bus_["/dev/ttyUSB1"].queued = queued;
    bus_["/dev/ttyUSB1"].purges = 0;
    Bytes buffer(c.capacity, 0xEE);
    EXPECT_EQ(ports_.read_available(2, buffer), c.delivered);
    EXPECT_EQ(bus_["/dev/ttyUSB1"].purges, c.purged ? 1 : 0);
    EXPECT_TRUE(bus_["/dev/ttyUSB1"].queued.empty());  // what was not delivered is gone
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + c.delivered, queued.begin()));
    EXPECT_EQ(sink_.lines().size(), c.delivered > 0 ? 1u : 0u);
  }
}

TEST_F(PortLayer, ReadLineCarriesCountAndHexDump) {
  ASSERT_TRUE(ports_.open_port(1));
  sink_.clear();
  bus_["/dev/ttyUSB0"].queued = {0xA0, 0x00, 0x5B};
  Bytes buffer(8192);
  EXPECT_EQ(ports_.read_available(1, buffer), 3);
  EXPECT_EQ(sink_.lines(), Lines{"10:00:05.45  COM1  Read:(3)  A0 00 5B \r\n"});
}

TEST_F(PortLayer, LostDeviceIsReportedOnceAndLeftAlone) {
  ASSERT_TRUE(ports_.open_port(1));
  sink_.clear();
  bus_["/dev/ttyUSB0"].gone = true;
  Bytes buffer(64);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(ports_.read_available(1, buffer), 0);
    EXPECT_FALSE(ports_.check_connected(1));
  }
  EXPECT_TRUE(ports_.lost(1));
  EXPECT_EQ(sink_.lines(), Lines{"10:00:05.45  COM1  DISCONNECTED"});
  EXPECT_EQ(bus_["/dev/ttyUSB0"].queries, 1);  // no storm of failing calls

  EXPECT_TRUE(ports_.close_port(1));  // a lost port still closes with its line
  EXPECT_FALSE(ports_.lost(1));
}

TEST_F(PortLayer, CheckingAConnectedPortReadsNothing) {
  ASSERT_TRUE(ports_.open_port(1));
  bus_["/dev/ttyUSB0"].queued = {1, 2, 3};
  EXPECT_TRUE(ports_.check_connected(1));
  EXPECT_EQ(bus_["/dev/ttyUSB0"].queued.size(), 3u);
  EXPECT_FALSE(ports_.check_connected(2));  // not open
}

TEST_F(PortLayer, RemembersPermissionFailuresUntilTheNextMap) {
  bus_["/dev/ttyS0"].refuse = OpenFailure::PermissionDenied;
  bus_["/dev/ttyS1"].refuse = OpenFailure::Busy;
  ports_.assign(PortMap{{"/dev/ttyS1", "/dev/ttyS0"}, false});
  EXPECT_FALSE(ports_.open_port(1));
  EXPECT_FALSE(ports_.permission_denied());
  EXPECT_FALSE(ports_.open_port(2));
  EXPECT_TRUE(ports_.permission_denied());
  ports_.assign(PortMap{{"/dev/ttyS1"}, false});
  EXPECT_FALSE(ports_.permission_denied());
}

TEST_F(PortLayer, TracedMapNamesEachPortOnce) {
  std::vector<std::string> devices;
  for (int i = 0; i < 60; ++i) devices.push_back("/dev/ttyUSB" + std::to_string(i));
  ports_.assign(PortMap{devices, true});
  ASSERT_EQ(sink_.lines().size(), 50u);
  EXPECT_EQ(sink_.lines()[0], "10:00:05.45  COM1 = /dev/ttyUSB0");
  EXPECT_EQ(sink_.lines()[49], "10:00:05.45  COM50 = /dev/ttyUSB49");
  EXPECT_EQ(ports_.device(50), "/dev/ttyUSB49");
  EXPECT_EQ(ports_.device(51), "");

  sink_.clear();
  ports_.assign(PortMap{{"/dev/ttyUSB7"}, true});
  EXPECT_EQ(sink_.lines(), Lines{"10:00:05.45  COM1 = /dev/ttyUSB7"});
  EXPECT_EQ(ports_.device(2), "");  // the old map is gone
}

TEST(PortLayerLifetime, DestructionReleasesOpenDevicesSilently) {
  FakeBus bus;
  bus["/dev/a"];
  MemoryTrace sink;
  PortTrace trace(sink);
  auto ports = std::make_unique<SerialPorts>(bus.devices(), trace);
  ports->assign(PortMap{{"/dev/a"}, false});
  ASSERT_TRUE(ports->open_port(1));
  sink.clear();
  ports.reset();
  EXPECT_FALSE(bus["/dev/a"].open);
  EXPECT_TRUE(sink.lines().empty());
}

}  // namespace
}  // namespace tarvo
