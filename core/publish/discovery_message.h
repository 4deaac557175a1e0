#pragma once

// The retained message that makes a Home Assistant sensor of the readings on
// PREFIX/reading, under homeassistant/sensor/<unique id>/config:
//   {"name":"DCV","unique_id":"tarvo_lab_b1_1a2b3c4d","state_topic":"lab/b1/reading",
//    "value_template":"{{ value_json.base_value }}","unit_of_measurement":"V",
//    "device_class":"voltage","state_class":"measurement",
//    "availability_topic":"lab/b1/status","payload_available":"online",
//    "payload_not_available":"offline",
//    "device":{"identifiers":["tarvo_lab_b1_1a2b3c4d"],"name":"Tarvo bench COM3",
//              "manufacturer":"Tarvo","model":"bench"}}
// The sensor follows the main display in its base unit, so that a range change
// (mV to V) is no new sensor and its history keeps one unit. A unit Home
// Assistant has no class for (Ω, F, %, dBm) comes without "device_class"; a
// unit with no known base is shown as the meter shows it.

#include <optional>
#include <string>
#include <string_view>

#include "publish/outbox.h"

namespace tarvo {

// Where Home Assistant says "online" when it starts.
inline constexpr std::string_view kHomeAssistantStatusTopic = "homeassistant/status";

struct DiscoveryMessage {
  std::string topic;
  std::string payload;
};

// "tarvo_" and the prefix in the characters a discovery topic allows, with a
// hash of the whole prefix so that "lab/b1" and "lab_b1" stay two sensors.
std::string discovery_unique_id(std::string_view prefix);

// Home Assistant's sensor device class for a base unit; none where it has none.
std::optional<std::string_view> device_class_of(std::string_view base_unit);

DiscoveryMessage discovery_message(std::string_view prefix, const OutgoingReading& reading);

}  // namespace tarvo
