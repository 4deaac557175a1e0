#pragma once

#include <string>

#include "i18n/language_table.h"
#include "i18n/text_numbers.h"
#include "publish/mqtt_publisher.h"

namespace tarvo {

// Whom a status line speaks of: the MQTT broker or the InfluxDB server.
enum class PublishPeer { Broker, Influx };

// The string number of a broker state's text (i18n/text_numbers.h).
int broker_state_text(BrokerState state, PublishPeer peer = PublishPeer::Broker);

// "Broker: offline, 12 readings waiting, 3 readings dropped": the state, the
// queue when it holds any, and the readings a full queue had to let go.
std::string broker_status_line(const BrokerStatus& status, const LanguageTable& languages,
                               int language_base, PublishPeer peer = PublishPeer::Broker);

}  // namespace tarvo
