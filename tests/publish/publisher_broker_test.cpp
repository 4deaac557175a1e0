// The publisher against a real broker on 127.0.0.1, read by a subscriber of
// the test's own.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "publish/broker_texts.h"
#include "publish/mqtt_publisher.h"
#include "test_broker.h"

namespace tarvo {
namespace {

using namespace std::chrono_literals;
using testing::ReceivedMessage;
using testing::TestBroker;
using testing::TestSubscriber;

real_Record record(std::int64_t index) {
  real_Record r;
  r.Index = index;
  r.Main_No.assign("1.5");
  r.Main_Range.assign("DCV AUTO 5.0000 V");
  r.Dated = true;
  return r;
}

std::vector<std::string> payloads(const std::vector<ReceivedMessage>& all,
                                  const std::string& topic) {
  std::vector<std::string> on_topic;
  for (const auto& m : all) {
    if (m.topic == topic) on_topic.push_back(m.payload);
  }
  return on_topic;
}

TEST(Publisher, PublishesReadingsAndKeepsTheStatusRetained) {
  if (!TestBroker::available()) GTEST_SKIP() << "no mosquitto broker installed";
  TestBroker broker;
  TestSubscriber subscriber(broker.port(), "lab/b1/#");
  ASSERT_TRUE(subscriber.wait_subscribed(5s));

  MeterState meter;
  meter.model = MeterModel::ModelTarvo;
  std::string why;
  MqttPublisher publisher(*parse_publish_url(broker.url("lab/b1"), why), meter);
  real_Record typed = record(9);
  typed.TestFrame = true;  // a frame typed by hand never reaches the subscribers
  publisher.reading_committed(typed);
  for (int i = 1; i <= 3; ++i) publisher.reading_committed(record(i));
  const auto readings = payloads(subscriber.wait_for("lab/b1/reading", 3, 5s), "lab/b1/reading");
  ASSERT_EQ(readings.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const auto j = nlohmann::json::parse(readings[static_cast<std::size_t>(i)]);
    EXPECT_EQ(j["index"], i + 1);
    EXPECT_EQ(j["value"], 1.5);
  }
  EXPECT_EQ(publisher.status().state, BrokerState::Online);
  EXPECT_EQ(publisher.finish(2s), 0u);

  const auto status = payloads(subscriber.wait_for("lab/b1/status", 2, 3s), "lab/b1/status");
  EXPECT_EQ(status, (std::vector<std::string>{"online", "offline"}));
  // A newcomer sees the last word.
  TestSubscriber late(broker.port(), "lab/b1/status");
  const auto retained = late.wait_for("lab/b1/status", 1, 3s);
  ASSERT_EQ(retained.size(), 1u);
  EXPECT_EQ(retained[0].payload, "offline");
  EXPECT_TRUE(retained[0].retained);
}

TEST(Publisher, NoBrokerMeansOfflineWithEveryReadingKept) {
  MeterState meter;
  std::string why;
  // Every try is refused at once.
  const std::string url =
      "mqtt://127.0.0.1:" + std::to_string(testing::closed_loopback_port()) + "/lab";
  MqttPublisher publisher(*parse_publish_url(url, why), meter, {100ms, 200ms, 30});
  for (int i = 1; i <= 5; ++i) publisher.reading_committed(record(i));
  std::this_thread::sleep_for(300ms);
  const BrokerStatus status = publisher.status();
  EXPECT_EQ(status.waiting, 5u);
  bool offline = false;
  for (const BrokerEvent& e : publisher.take_events()) {
    offline = offline || (e.state == BrokerState::Offline &&
                          e.detail.find("next try in") != std::string::npos);
  }
  EXPECT_TRUE(offline);
  EXPECT_EQ(publisher.finish(0ms), 5u);
}

// The pauses as the Offline events tell them, "next try in 200 ms".
std::vector<std::string> offline_pauses(MqttPublisher& publisher, std::size_t n) {
  std::vector<std::string> pauses;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (pauses.size() < n && std::chrono::steady_clock::now() < deadline) {
    for (const BrokerEvent& e : publisher.take_events()) {
      const std::size_t at = e.detail.find("next try in ");
      if (e.state == BrokerState::Offline && at != std::string::npos) {
        pauses.push_back(e.detail.substr(at + 12));
      }
    }
    std::this_thread::sleep_for(20ms);
  }
  return pauses;
}

// A broker that takes the login and hangs up at once is online for a moment
// every time; only a connection that lasted starts the pauses again.
TEST(Publisher, ABrokerThatHangsUpAtOnceKeepsThePausesDoubling) {
  const testing::HangUpBroker broker;
  MeterState meter;
  std::string why;
  const std::string url = "mqtt://127.0.0.1:" + std::to_string(broker.port()) + "/lab";
  PublisherTiming timing{100ms, 1000ms, 30};
  timing.lasting_connection = 5s;
  MqttPublisher publisher(*parse_publish_url(url, why), meter, timing);
  EXPECT_EQ(offline_pauses(publisher, 4),
            (std::vector<std::string>{"100 ms", "200 ms", "400 ms", "800 ms"}));
  publisher.finish(0ms);
}

// Readings a full queue had to let go are counted, and the status line
// says so.
TEST(Publisher, ReadingsDroppedFromAFullQueueAreCounted) {
  MeterState meter;
  std::string why;
  const std::string url =
      "mqtt://127.0.0.1:" + std::to_string(testing::closed_loopback_port()) + "/lab";
  MqttPublisher publisher(*parse_publish_url(url, why), meter, {100ms, 200ms, 30}, 3);
  for (int i = 1; i <= 5; ++i) publisher.reading_committed(record(i));
  const BrokerStatus status = publisher.status();
  EXPECT_EQ(status.waiting, 3u);
  EXPECT_EQ(status.dropped, 2u);
  const std::string line = broker_status_line(status, meter.languages, LanguageTable::kEnglish);
  EXPECT_NE(line.find("3 readings waiting"), std::string::npos) << line;
  EXPECT_NE(line.find("2 readings dropped"), std::string::npos) << line;
  EXPECT_EQ(publisher.finish(0ms), 3u);
}

// Readings committed while the broker was away go out soon after it is back,
// however long the pauses between tries had grown, and the count of waiting
// readings falls to zero with their delivery.
TEST(Publisher, WaitingClearsOnceTheReturningBrokerHasEverything) {
  if (!TestBroker::available()) GTEST_SKIP() << "no mosquitto broker installed";
  TestBroker broker;
  TestSubscriber subscriber(broker.port(), "lab/b2/reading");
  ASSERT_TRUE(subscriber.wait_subscribed(5s));
  MeterState meter;
  meter.model = MeterModel::ModelTarvo;
  std::string why;
  MqttPublisher publisher(*parse_publish_url(broker.url("lab/b2"), why), meter,
                          {100ms, 60s, 30, 400ms});
  publisher.reading_committed(record(1));
  ASSERT_EQ(subscriber.wait_for("lab/b2/reading", 1, 5s).size(), 1u);
  broker.stop();
  publisher.reading_committed(record(2));
  // Away long enough for the doubling pauses to pass 6 s.
  std::this_thread::sleep_for(6500ms);
  publisher.reading_committed(record(3));
  broker.start();
  const auto back = std::chrono::steady_clock::now();
  ASSERT_EQ(subscriber.wait_for("lab/b2/reading", 3, 10s).size(), 3u);
  while (publisher.status().waiting > 0 && std::chrono::steady_clock::now() - back < 20s) {
    std::this_thread::sleep_for(20ms);
  }
  const auto took = std::chrono::steady_clock::now() - back;
  EXPECT_EQ(publisher.status().waiting, 0u);
  EXPECT_EQ(publisher.status().state, BrokerState::Online);
  EXPECT_LT(took, 4s) << std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
  EXPECT_EQ(publisher.finish(2s), 0u);
}

}  // namespace
}  // namespace tarvo
