#include "publish/discovery_message.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace tarvo {
namespace {

OutgoingReading outgoing(const char* main_no, const char* main_range) {
  OutgoingReading r;
  r.record.Main_No.assign(main_no);
  r.record.Main_Range.assign(main_range);
  r.family = MeterModel::ModelTarvo;
  r.port = 3;
  r.DecimalSeparator = ",";
  return r;
}

TEST(DiscoveryMessage, HoldsHomeAssistantsKeysInTheirOrder) {
  const DiscoveryMessage d = discovery_message("lab/b1", outgoing("-12,345", "DCV AUTO 50,000 mV"));
  const std::string id = discovery_unique_id("lab/b1");
  EXPECT_EQ(d.topic, "homeassistant/sensor/" + id + "/config");
  EXPECT_EQ(d.payload,
            R"({"name":"DCV","unique_id":")" + id +
                R"(","state_topic":"lab/b1/reading",)"
                R"("value_template":"{{ value_json.base_value }}","unit_of_measurement":"V",)"
                R"("device_class":"voltage","state_class":"measurement",)"
                R"("availability_topic":"lab/b1/status","payload_available":"online",)"
                R"("payload_not_available":"offline","device":{"identifiers":[")" +
                id + R"("],"name":"Tarvo bench COM3","manufacturer":"Tarvo","model":"bench"}})");
}

// The broker test goes through V, A, Hz, Ω and F as readings; these are the rest.
TEST(DiscoveryMessage, DeviceClassOnlyWhereHomeAssistantHasOne) {
  const std::pair<const char*, std::optional<std::string_view>> cases[] = {
      {"V", "voltage"},    {"A", "current"},    {"Hz", "frequency"},   {"\u03A9", std::nullopt},
      {"F", std::nullopt}, {"%", std::nullopt}, {"dBm", std::nullopt}, {"", std::nullopt}};
  for (const auto& [unit, device_class] : cases) EXPECT_EQ(device_class_of(unit), device_class);
  const auto j =
      nlohmann::json::parse(discovery_message("p", outgoing("1,0", "DCA AUTO 5000,0 uA")).payload);
  EXPECT_EQ(j["unit_of_measurement"], "A");
  EXPECT_EQ(j["device_class"], "current");
}

TEST(DiscoveryMessage, AnUnknownUnitArrivesAsShownAndNoUnitAsNone) {
  auto j =
      nlohmann::json::parse(discovery_message("p", outgoing("1,0", "TMP AUTO 500 degC")).payload);
  EXPECT_EQ(j["value_template"], "{{ value_json.value }}");
  EXPECT_EQ(j["unit_of_measurement"], "degC");
  EXPECT_FALSE(j.contains("device_class"));
  EXPECT_EQ(j["state_class"], "measurement");
  j = nlohmann::json::parse(discovery_message("p", outgoing("", "")).payload);
  EXPECT_EQ(j["name"], "Reading");
  EXPECT_FALSE(j.contains("unit_of_measurement"));
}

TEST(DiscoveryMessage, UniqueIdsKeepToTopicCharactersAndTellPrefixesApart) {
  struct Case {
    const char* prefix;
    const char* start;
  };
  const Case cases[] = {{"lab/b1", "tarvo_lab_b1_"},
                        {"lab_b1", "tarvo_lab_b1_"},
                        {"Lab-B 1+#", "tarvo_Lab-B_1___"},
                        {"\u5B9E\u9A8C", "tarvo________"}};
  for (const Case& c : cases) {
    const std::string id = discovery_unique_id(c.prefix);
    EXPECT_EQ(id.rfind(c.start, 0), 0u) << id;
    EXPECT_EQ(id.size(), std::string(c.start).size() + 8) << id;
    EXPECT_EQ(
        id.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-"),
        std::string::npos);
  }
  EXPECT_NE(discovery_unique_id("lab/b1"), discovery_unique_id("lab_b1"));
  EXPECT_LE(discovery_unique_id(std::string(70000, 'a')).size(), 6u + 48 + 9);
}

}  // namespace
}  // namespace tarvo
