#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "publish/influx_writer.h"
#include "recording/recording.h"

namespace tarvo::cli {

// The InfluxDB side of tarvo-cli record: the recording's writer follows the
// commits from construction to finish(), and the server's state changes
// come back as lines for the error stream, with the readings that wait.
class RecordInflux {
 public:
  // How long the end of a recording waits for the server to take what is left.
  static constexpr std::chrono::seconds kFinishGrace{5};

  RecordInflux(Recording& recording, const InfluxTarget& target, const PublisherTiming& timing,
               bool every_change, std::size_t capacity = InfluxWriter::kQueueCapacity);
  RecordInflux(const RecordInflux&) = delete;
  RecordInflux& operator=(const RecordInflux&) = delete;

  // Unless every change was asked for, a server that stays away is told once.
  std::vector<std::string> take_lines();
  // Writes what waits, then stops. Returns the readings left unwritten.
  std::size_t finish();
  std::uint64_t dropped() const { return writer_.status().dropped; }

 private:
  Recording& recording_;
  InfluxWriter& writer_;
  bool every_change_;
  std::optional<BrokerState> last_told_;
  bool told_dropping_ = false;
};

}  // namespace tarvo::cli
