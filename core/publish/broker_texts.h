#pragma once

#include <string>

#include "i18n/language_table.h"
#include "publish/mqtt_publisher.h"

namespace tarvo {

// The string numbers of the broker's state, in the language table.
inline constexpr int kTextBrokerConnecting = 60;
inline constexpr int kTextBrokerOnline = 61;
inline constexpr int kTextBrokerOffline = 62;
inline constexpr int kTextBrokerRefused = 63;
inline constexpr int kTextBrokerWaiting = 64;  // "%1" stands for the number of readings

int broker_state_text(BrokerState state);

// "Broker: offline, 12 readings waiting": the state, and the queue when it holds any.
std::string broker_status_line(const BrokerStatus& status, const LanguageTable& languages,
                               int language_base);

}  // namespace tarvo
