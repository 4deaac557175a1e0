#include "publish/discovery_message.h"

#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "decode/meter_family.h"
#include "log/typed_reading.h"

namespace tarvo {
namespace {

using Json = nlohmann::ordered_json;

// Long enough to tell prefixes apart by eye; the hash does the rest.
constexpr std::size_t kMostIdCharacters = 48;

std::uint32_t fnv1a(std::string_view text) {
  std::uint32_t h = 2166136261u;
  for (const char c : text) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  return h;
}

bool allowed_in_topic_id(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

std::string device_name(const OutgoingReading& reading) {
  std::string name = "Tarvo";
  if (const MeterFamily* family = family_of(reading.family))
    name += " " + std::string(family->name);
  if (reading.port > 0) name += " COM" + std::to_string(reading.port);
  return name;
}

}  // namespace

std::string discovery_unique_id(std::string_view prefix) {
  std::string id = "tarvo_";
  for (const char c : prefix.substr(0, kMostIdCharacters)) id += allowed_in_topic_id(c) ? c : '_';
  char hash[10];
  std::snprintf(hash, sizeof hash, "_%08x", static_cast<unsigned>(fnv1a(prefix)));
  return id + hash;
}

std::optional<std::string_view> device_class_of(std::string_view base_unit) {
  if (base_unit == "V") return "voltage";
  if (base_unit == "A") return "current";
  if (base_unit == "Hz") return "frequency";
  return std::nullopt;
}

DiscoveryMessage discovery_message(std::string_view prefix, const OutgoingReading& reading) {
  const std::string p(prefix);
  const std::string id = discovery_unique_id(prefix);
  const DisplayValue main = typed_reading(reading.record, reading.DecimalSeparator).main;
  const bool based = !main.base_unit.empty();
  const std::string& unit = based ? main.base_unit : main.unit;
  const MeterFamily* family = family_of(reading.family);

  Json j;
  j["name"] = main.function.empty() ? std::string("Reading") : main.function;
  j["unique_id"] = id;
  j["state_topic"] = p + "/reading";
  j["value_template"] = based ? "{{ value_json.base_value }}" : "{{ value_json.value }}";
  if (!unit.empty()) j["unit_of_measurement"] = unit;
  if (based) {
    if (const auto device_class = device_class_of(unit)) j["device_class"] = *device_class;
  }
  j["state_class"] = "measurement";
  j["availability_topic"] = p + "/status";
  j["payload_available"] = "online";
  j["payload_not_available"] = "offline";
  Json device;
  device["identifiers"] = Json::array({id});
  device["name"] = device_name(reading);
  device["manufacturer"] = "Tarvo";
  if (family != nullptr) device["model"] = std::string(family->name);
  j["device"] = device;
  return {"homeassistant/sensor/" + id + "/config",
          j.dump(-1, ' ', false, Json::error_handler_t::replace)};
}

}  // namespace tarvo
