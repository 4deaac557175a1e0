#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/meter_state.h"
#include "publish/mqtt_publisher.h"
#include "recording/recording.h"

namespace tarvo::cli {

// The broker side of tarvo-cli record: the recording publishes its commits
// from construction until finish(), and the broker's state changes come back
// as lines for the error stream.
class RecordPublishing {
 public:
  // How long the end of a recording waits for the broker to take what is left.
  static constexpr std::chrono::seconds kFinishGrace{5};

  RecordPublishing(Recording& recording, const PublishTarget& target, const PublisherTiming& timing,
                   bool every_change, std::size_t capacity = MqttPublisher::kQueueCapacity);
  RecordPublishing(const RecordPublishing&) = delete;
  RecordPublishing& operator=(const RecordPublishing&) = delete;

  // The state changes since the last call, as lines without a prefix. Unless
  // every change was asked for, a broker that stays away is told once. The
  // first reading the full queue drops is told too.
  std::vector<std::string> take_lines();

  // Delivers what waits, then disconnects. Returns the readings left undelivered.
  std::size_t finish();
  // The readings the full queue let go so far.
  std::uint64_t dropped() const { return publisher_.status().dropped; }

 private:
  Recording& recording_;
  MqttPublisher& publisher_;
  bool every_change_;
  std::optional<BrokerState> last_told_;
  bool told_dropping_ = false;
};

}  // namespace tarvo::cli
