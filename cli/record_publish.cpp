#include "record_publish.h"

#include "publish/broker_texts.h"

namespace tarvo::cli {

RecordPublishing::RecordPublishing(Recording& recording, const PublishTarget& target,
                                   const PublisherTiming& timing, bool every_change,
                                   std::size_t capacity)
    : recording_(recording),
      publisher_(recording.publish(target, timing, capacity)),
      every_change_(every_change) {}

std::vector<std::string> RecordPublishing::take_lines() {
  std::vector<std::string> lines;
  for (const BrokerEvent& event : publisher_.take_events()) {
    if (event.state == BrokerState::Stopped) continue;
    if (!every_change_) {
      // Between two failed tries it says "connecting" again; once is enough.
      const bool retrying = last_told_ && *last_told_ != BrokerState::Online;
      if (event.state == BrokerState::Connecting && retrying) continue;
      if (last_told_ == event.state) continue;
    }
    last_told_ = event.state;
    std::string line = recording_.state().text(broker_state_text(event.state));
    if (!event.detail.empty()) line += " (" + event.detail + ")";
    lines.push_back(std::move(line));
  }
  if (!told_dropping_ && dropped() > 0) {
    told_dropping_ = true;
    lines.push_back("the queue for the broker is full (" + std::to_string(publisher_.capacity()) +
                    " readings): the oldest readings are dropped");
  }
  return lines;
}

std::size_t RecordPublishing::finish() {
  return recording_.finish_publishing(kFinishGrace);
}

}  // namespace tarvo::cli
