// Home Assistant discovery against a real broker on 127.0.0.1: the retained
// config a newcomer gets, and when it is sent again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "publish/discovery_message.h"
#include "publish/mqtt_publisher.h"
#include "test_broker.h"

namespace tarvo {
namespace {

using namespace std::chrono_literals;
using testing::ReceivedMessage;
using testing::TestBroker;
using testing::TestSubscriber;

real_Record record(std::int64_t index, const char* range) {
  real_Record r;
  r.Index = index;
  r.Main_No.assign("1.5");
  r.Main_Range.assign(range);
  r.Dated = true;
  return r;
}

std::vector<std::string> topics(const std::vector<ReceivedMessage>& all) {
  std::vector<std::string> seen;
  for (const auto& m : all) seen.push_back(m.topic);
  return seen;
}

// The config last seen on the topic, as a late subscriber gets it.
nlohmann::json retained_config(int port, const std::string& topic) {
  TestSubscriber late(port, topic);
  const auto got = late.wait_for(topic, 1, 5s);
  if (got.empty() || !got.back().retained) return nullptr;
  return nlohmann::json::parse(got.back().payload);
}

struct Announced {
  TestBroker broker;
  TestSubscriber all{broker.port(), "#"};
  MeterState session;
  std::unique_ptr<MqttPublisher> publisher;
  std::string config_topic = "homeassistant/sensor/" + discovery_unique_id("lab/d1") + "/config";

  Announced() {
    session.model = MeterModel::ModelTarvo;
    session.ActivePort = 2;
    EXPECT_TRUE(all.wait_subscribed(5s));
    std::string why;
    PublishTarget target = *parse_publish_url(broker.url("lab/d1"), why);
    target.discovery = true;
    publisher = std::make_unique<MqttPublisher>(target, session);
  }
  std::size_t count(const std::string& topic) {
    std::size_t n = 0;
    for (const auto& m : all.messages()) n += m.topic == topic ? 1 : 0;
    return n;
  }
};

TEST(Discovery, EachUnitIsAnnouncedRetainedBeforeItsReading) {
  if (!TestBroker::available()) GTEST_SKIP() << "no mosquitto broker installed";
  Announced a;
  struct Case {
    const char* range;
    const char* unit;
    const char* device_class;
  };
  const Case cases[] = {{"DCV AUTO 5.0000 V", "V", "voltage"},
                        {"DCA AUTO 500.00 mA", "A", "current"},
                        {"FRE AUTO 9.9999 KHz", "Hz", "frequency"},
                        {"OHM AUTO 50.000 K\u03A9", "\u03A9", nullptr},
                        {"CAP AUTO 50.00 nF", "F", nullptr}};
  std::size_t configs = 0;
  std::int64_t index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.range);
    a.publisher->reading_committed(record(++index, c.range));
    a.publisher->reading_committed(record(++index, c.range));  // the same: no new config
    ++configs;
    const auto got = a.all.wait_for("lab/d1/reading", static_cast<std::size_t>(index), 5s);
    const auto seen = topics(got);
    // The config comes right before the first reading of its unit, once.
    ASSERT_GE(seen.size(), 3u);
    std::vector<std::string> tail(seen.end() - 3, seen.end());
    EXPECT_EQ(tail, (std::vector<std::string>{a.config_topic, "lab/d1/reading", "lab/d1/reading"}));
    EXPECT_EQ(a.count(a.config_topic), configs);
    const nlohmann::json j = retained_config(a.broker.port(), a.config_topic);
    ASSERT_TRUE(j.is_object());
    EXPECT_EQ(j["state_topic"], "lab/d1/reading");
    EXPECT_EQ(j["value_template"], "{{ value_json.base_value }}");
    EXPECT_EQ(j["unit_of_measurement"], c.unit);
    EXPECT_EQ(j["state_class"], "measurement");
    EXPECT_EQ(j["availability_topic"], "lab/d1/status");
    EXPECT_EQ(j["unique_id"], discovery_unique_id("lab/d1"));
    EXPECT_EQ(j["device"]["name"], "Tarvo bench COM2");
    if (c.device_class == nullptr) {
      EXPECT_FALSE(j.contains("device_class"));
    } else {
      EXPECT_EQ(j["device_class"], c.device_class);
    }
  }
  EXPECT_EQ(a.publisher->finish(2s), 0u);
}

TEST(Discovery, HomeAssistantComingOnlineIsAnsweredWithTheConfig) {
  if (!TestBroker::available()) GTEST_SKIP() << "no mosquitto broker installed";
  Announced a;
  a.publisher->reading_committed(record(1, "DCV AUTO 5.0000 V"));
  ASSERT_EQ(a.all.wait_for("lab/d1/reading", 1, 5s).empty(), false);
  ASSERT_EQ(a.count(a.config_topic), 1u);
  // Home Assistant's birth message, as it sends it on start.
  const std::string birth = "mosquitto_pub -h 127.0.0.1 -p " + std::to_string(a.broker.port()) +
                            " -q 1 -t homeassistant/status -m online";
  ASSERT_EQ(std::system(birth.c_str()), 0);
  a.all.wait_for(a.config_topic, 2, 5s);
  EXPECT_EQ(a.count(a.config_topic), 2u);
  // Anything else on the topic is no reason to announce.
  const std::string will = "mosquitto_pub -h 127.0.0.1 -p " + std::to_string(a.broker.port()) +
                           " -q 1 -t homeassistant/status -m offline";
  ASSERT_EQ(std::system(will.c_str()), 0);
  a.publisher->reading_committed(record(2, "DCV AUTO 5.0000 V"));
  a.all.wait_for("lab/d1/reading", 2, 5s);
  EXPECT_EQ(a.count(a.config_topic), 2u);
  EXPECT_EQ(a.publisher->finish(2s), 0u);
}

}  // namespace
}  // namespace tarvo
