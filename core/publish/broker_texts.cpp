#include "publish/broker_texts.h"

namespace tarvo {

int broker_state_text(BrokerState state, PublishPeer peer) {
  const bool influx = peer == PublishPeer::Influx;
  switch (state) {
    case BrokerState::Connecting:
      return influx ? kTextInfluxConnecting : kTextBrokerConnecting;
    case BrokerState::Online:
      return influx ? kTextInfluxOnline : kTextBrokerOnline;
    case BrokerState::Refused:
      return influx ? kTextInfluxRefused : kTextBrokerRefused;
    case BrokerState::Offline:
    case BrokerState::Stopped:
      break;
  }
  return influx ? kTextInfluxOffline : kTextBrokerOffline;
}

namespace {

std::string counted(const LanguageTable& languages, int language_base, int text,
                    std::uint64_t count) {
  std::string line = languages.text(language_base, text);
  const std::size_t mark = line.find("%1");
  if (mark != std::string::npos) line.replace(mark, 2, std::to_string(count));
  return line;
}

}  // namespace

std::string broker_status_line(const BrokerStatus& status, const LanguageTable& languages,
                               int language_base, PublishPeer peer) {
  std::string line = languages.text(language_base, broker_state_text(status.state, peer));
  if (status.waiting > 0) {
    line += ", " + counted(languages, language_base, kTextBrokerWaiting, status.waiting);
  }
  if (status.dropped > 0) {
    line += ", " + counted(languages, language_base, kTextBrokerDropped, status.dropped);
  }
  return line;
}

}  // namespace tarvo
