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

std::string broker_status_line(const BrokerStatus& status, const LanguageTable& languages,
                               int language_base) {
  std::string line = languages.text(language_base, broker_state_text(status.state));
  if (status.waiting == 0) return line;
  std::string waiting = languages.text(language_base, kTextBrokerWaiting);
  const std::size_t mark = waiting.find("%1");
  if (mark != std::string::npos) waiting.replace(mark, 2, std::to_string(status.waiting));
  return line + ", " + waiting;
}

}  // namespace tarvo
