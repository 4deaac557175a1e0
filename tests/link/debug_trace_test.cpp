#include "link/debug_trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

LocalTime at(int hour, int minute, int second, int ms) {
  return {2026, 12, 9, hour, minute, second, ms};
}

TEST(PortTrace, WritesEachLineExactly) {
  struct Case {
    LocalTime time;
    std::function<void(PortTrace&)> write;
    std::string line;
  };
  const std::vector<std::uint8_t> three = {0xA0, 0x00, 0x5B};
  const Case cases[] = {
      {at(10, 0, 5, 45), [](PortTrace& t) { t.opened(3); }, "10:00:05.45  COM3  IS OPEN"},
      {at(10, 0, 5, 450), [](PortTrace& t) { t.opened(3); }, "10:00:05.450  COM3  IS OPEN"},
      {at(9, 5, 3, 0), [](PortTrace& t) { t.open_failed(12); }, "09:05:03.0  COM12  OPEN FAIL"},
      {at(23, 59, 59, 999), [](PortTrace& t) { t.closed(50); }, "23:59:59.999  COM50  IS Closed"},
      {at(0, 0, 0, 7), [&](PortTrace& t) { t.read(3, three); },
       "00:00:00.7  COM3  Read:(3)  A0 00 5B \r\n"},
      {at(12, 30, 1, 12), [](PortTrace& t) { t.mapped(1, "/dev/ttyUSB0"); },
       "12:30:01.12  COM1 = /dev/ttyUSB0"},
      {at(12, 30, 1, 12), [](PortTrace& t) { t.disconnected(4); },
       "12:30:01.12  COM4  DISCONNECTED"},
  };
  for (const Case& c : cases) {
    MemoryTrace sink;
    PortTrace trace(sink, [&] { return c.time; });
    c.write(trace);
    ASSERT_EQ(sink.lines().size(), 1u);
    EXPECT_EQ(sink.lines()[0], c.line);
  }
}

TEST(PortTrace, HexDumpCoversEveryByteValue) {
  std::vector<std::uint8_t> all(256);
  for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  const std::string hex = trace_hex(all);
  ASSERT_EQ(hex.size(), 768u);
  EXPECT_EQ(hex.substr(0, 12), "00 01 02 03 ");
  EXPECT_EQ(hex.substr(30, 9), "0A 0B 0C ");
  EXPECT_EQ(hex.substr(765), "FF ");
}

}  // namespace
}  // namespace tarvo
