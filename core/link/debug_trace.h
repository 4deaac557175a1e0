#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "log/local_time.h"

namespace tarvo {

// Where the serial traffic lines go: the memo of the debug window, or a plain
// list for the command-line tool and the tests. Lines are added whole, with no
// line break of their own (a read line carries its own "\r\n").
class DebugTrace {
 public:
  virtual ~DebugTrace() = default;
  virtual void add_line(std::string line) = 0;
  virtual void clear() = 0;
};

class MemoryTrace final : public DebugTrace {
 public:
  void add_line(std::string line) override { lines_.push_back(std::move(line)); }
  void clear() override { lines_.clear(); }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

using TraceClock = std::function<LocalTime()>;

// Writes the port lines, each stamped "hh:mm:ss.z" by the clock it was given,
// so tests can fix the time and compare lines byte for byte.
class PortTrace {
 public:
  explicit PortTrace(DebugTrace& sink, TraceClock clock = now_local)
      : sink_(sink), clock_(std::move(clock)) {}

  void opened(std::int32_t port) { add(port, "  IS OPEN"); }
  void open_failed(std::int32_t port) { add(port, "  OPEN FAIL"); }
  void closed(std::int32_t port) { add(port, "  IS Closed"); }
  void disconnected(std::int32_t port) { add(port, "  DISCONNECTED"); }
  void read(std::int32_t port, std::span<const std::uint8_t> bytes);
  // Which device a port number stands for on this run.
  void mapped(std::int32_t port, std::string_view device);

  void clear() { sink_.clear(); }
  // A line of the program's own, stamped like the port lines.
  void note(std::string_view text);
  // While waiting for a lost meter the ports are tried every second; their
  // lines would bury everything else over a night, so they are held back.
  void set_quiet(bool quiet) { quiet_ = quiet; }

 private:
  void add(std::int32_t port, std::string_view tail);
  std::string prefix(std::int32_t port) const;

  DebugTrace& sink_;
  TraceClock clock_;
  bool quiet_ = false;
};

// "A0 00 5B ": every byte as two upper-case digits and a space.
std::string trace_hex(std::span<const std::uint8_t> bytes);

}  // namespace tarvo
