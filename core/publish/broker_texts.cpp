#include "publish/broker_texts.h"

namespace tarvo {

int broker_state_text(BrokerState state) {
  switch (state) {
    case BrokerState::Connecting:
      return kTextBrokerConnecting;
    case BrokerState::Online:
      return kTextBrokerOnline;
    case BrokerState::Refused:
      return kTextBrokerRefused;
    case BrokerState::Offline:
    case BrokerState::Stopped:
      break;
  }
  return kTextBrokerOffline;
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
                               int language_base) {
  std::string line = languages.text(language_base, broker_state_text(status.state));
  if (status.waiting > 0) {
    line += ", " + counted(languages, language_base, kTextBrokerWaiting, status.waiting);
  }
  if (status.dropped > 0) {
    line += ", " + counted(languages, language_base, kTextBrokerDropped, status.dropped);
  }
  return line;
}

}  // namespace tarvo
