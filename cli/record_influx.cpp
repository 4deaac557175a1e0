#include "record_influx.h"

#include <algorithm>

namespace tarvo::cli {
namespace {

std::string state_line(BrokerState state, const std::string& detail, std::size_t waiting,
                       bool was_away) {
  std::string line = "InfluxDB: ";
  switch (state) {
    case BrokerState::Connecting:
      line += "connecting";
      break;
    case BrokerState::Online:
      line += was_away ? "back, writing" : "writing";
      break;
    case BrokerState::Offline:
      line += "away";
      break;
    case BrokerState::Refused:
      line += "refuses the readings";
      break;
    case BrokerState::Stopped:
      line += "stopped";
      break;
  }
  if (!detail.empty()) line += " (" + detail + ")";
  if (state == BrokerState::Offline || state == BrokerState::Refused) {
    line += "; " + std::to_string(waiting) + " readings wait";
  }
  return line;
}

}  // namespace

RecordInflux::RecordInflux(Recording& recording, const InfluxTarget& target,
                           const PublisherTiming& timing, bool every_change, std::size_t capacity)
    : recording_(recording),
      writer_(recording.write_to_influx(target, timing, capacity)),
      every_change_(every_change) {}

std::vector<std::string> RecordInflux::take_lines() {
  std::vector<std::string> lines;
  const std::size_t waiting = writer_.status().waiting;
  for (const BrokerEvent& event : writer_.take_events()) {
    if (event.state == BrokerState::Stopped) continue;
    if (!every_change_ && (last_told_ == event.state || event.state == BrokerState::Connecting)) {
      continue;
    }
    const bool was_away = last_told_ == BrokerState::Offline || last_told_ == BrokerState::Refused;
    last_told_ = event.state;
    lines.push_back(state_line(event.state, event.detail, waiting, was_away));
  }
  if (!told_dropping_ && dropped() > 0) {
    told_dropping_ = true;
    lines.push_back("the queue for InfluxDB is full (" + std::to_string(writer_.capacity()) +
                    " readings): the oldest readings are dropped");
  }
  return lines;
}

std::size_t RecordInflux::finish() {
  return recording_.finish_influx(kFinishGrace);
}

}  // namespace tarvo::cli
