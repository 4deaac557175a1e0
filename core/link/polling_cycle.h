#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "link/meter_state.h"
#include "log/local_time.h"

namespace tarvo {

// Where the cycle reads meter bytes from: the serial layer, or a script in tests.
class PortReader {
 public:
  virtual ~PortReader() = default;
  // Copies the bytes the port has received (at most buffer.size()) and returns
  // their number; 0 when there were none or the port cannot be read.
  virtual std::int32_t read_available(std::int32_t port, std::span<std::uint8_t> buffer) = 0;
};

enum class ChartDirection { Backward = 1, Forward = 2 };

// The views a committed reading refreshes. The GUI implements them; the
// command-line tool passes none.
class ReadingViews {
 public:
  virtual ~ReadingViews() = default;
  virtual void refresh_grid() = 0;
  virtual void update_chart(std::int32_t count, ChartDirection direction) = 0;
  virtual void update_lcd() = 0;
  virtual void update_readout() = 0;
};

using LocalClock = std::function<LocalTime()>;

// One poll delivers at most this many bytes.
inline constexpr std::int32_t kPollBlockSize = 8192;

// Reads what the port holds; appends it to the receive buffer only when the
// single read brings at least one frame's length of the active family. True
// when bytes were appended. Shorter reads are taken from the port and lost.
bool poll_port(MeterState& s, PortReader& port, std::int32_t port_number);

// Runs the decoder of the active family; false for no family.
bool decode_frame(MeterState& s);

// Appends the current reading to the log, tells the commit listeners, then
// refreshes the views (only while a meter family is active). views may be null.
// A test frame is marked as one and leaves a pending gap to the next reading
// of the meter.
void commit_reading(MeterState& s, ReadingViews* views, bool test_frame = false);

// One tick of the display timer: intermediate reads keep the port drained, and
// once per recording interval a record step commits the newest reading.
void cycle_step(MeterState& s, PortReader& port, ReadingViews* views, const LocalClock& now);

// Pushes a hand-typed 14-byte frame (hex pairs) through the same decode, log and
// view path as a received frame. True when it was decoded and committed.
bool inject_test_frame(MeterState& s, PortReader& port, ReadingViews* views, std::string_view text,
                       const LocalTime& now);

}  // namespace tarvo
