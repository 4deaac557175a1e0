#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "line_schedule.h"

namespace tarvo::sim {

struct PtyMeterOptions {
  Duration byte_time = kByteTime;
  // Closes the line this long after the start, as if the meter were unplugged.
  std::optional<Duration> hang_up_after;
};

// A simulated meter on a pseudo-terminal: a reader opens device_path() like a
// serial port and receives the scenario's frames at the line's pace.
//
// Nothing here blocks and nothing runs by itself: the owner calls pump() at the
// time it returned, from a blocking loop or from an event loop's timer. While no
// one has the port open, the bytes are dropped as on an unconnected serial line,
// so a reader that opens it late sees fresh frames, not a backlog.
class PtyMeter {
 public:
  // Opens the pseudo-terminal; throws std::system_error when the system has none.
  PtyMeter(ScenarioPlayer player, Clock::time_point start, PtyMeterOptions options = {});
  ~PtyMeter();
  PtyMeter(const PtyMeter&) = delete;
  PtyMeter& operator=(const PtyMeter&) = delete;

  // The port to open, e.g. "/dev/pts/3"; it exists until the hang-up.
  const std::string& device_path() const { return device_path_; }

  // The master side, for an event loop that wants to watch it; -1 after the
  // hang-up. It reports a hang-up itself whenever no one has the port open, so
  // a timer on pump()'s deadline is the better driver.
  int master_fd() const { return master_; }

  bool hung_up() const { return master_ < 0; }

  // Writes whatever is due at `now` and discards what the reader sent. Returns
  // when it wants to be called again; time_point::max() once hung up or stopped
  // for good.
  Clock::time_point pump(Clock::time_point now);

  // Closes the line: the reader's next read sees the end of the stream.
  void hang_up();

 private:
  bool reader_present() const;
  void discard_input();
  // Writes `bytes`; false when the reader's buffer is full.
  bool write_out(std::span<const std::uint8_t> bytes);

  int master_ = -1;
  std::string device_path_;
  LineSchedule schedule_;
  Duration byte_time_;
  std::optional<Clock::time_point> hang_up_at_;
};

}  // namespace tarvo::sim
