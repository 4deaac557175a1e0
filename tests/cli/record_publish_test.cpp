// tarvo-cli record --publish: a meter on a pseudo-terminal, a real broker on
// 127.0.0.1 and a subscriber of the test's own. The command's clock is the
// test's, but each of its sleeps also lets some real time pass, so that the
// broker side runs as it would.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include "notification_service.h"
#include "pty_pair.h"
#include "record_command.h"
#include "test_broker.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = RecordEnvironment::Clock;
using tarvo::testing::PtyPair;
using tarvo::testing::TestBroker;
using tarvo::testing::TestSubscriber;

const std::string kReadings = "lab/b1/reading";

std::vector<std::uint8_t> bench_reading(int d) {
  return {0xA0, 0x00, 0x30, 0x00, 0x00, 0x04, 0x02, 0x05, static_cast<std::uint8_t>(d % 10),
          0x00, 0x00, 0x00, 0x5B, 0x00};
}

class PublishedRecording : public ::testing::Test {
 protected:
  PublishedRecording() {
    dir_ = fs::temp_directory_path() / ("tarvo-publish-" + std::to_string(getpid()));
    fs::create_directories(dir_ / "sys");
    fs::create_directories(dir_ / "dev");
    env_.roots = {dir_ / "sys", dir_ / "dev"};
    env_.steady_now = [this] { return now_; };
    env_.sleep_until = [this](Clock::time_point deadline) {
      if (deadline > now_) now_ = deadline;
      meter_.send(frame_of(++sleeps_));
      if (second_) second_->send(bench_reading(sleeps_ + 5));
      on_sleep(sleeps_);
      std::this_thread::sleep_for(25ms);
    };
    env_.stop_requested = [] { return false; };
    env_.local_now = [this] {
      const auto s = std::chrono::duration_cast<std::chrono::seconds>(now_.time_since_epoch());
      const int t = static_cast<int>(s.count());
      return LocalTime{2026, 12, 9, 10, t / 60 % 60, t % 60, 0, 120};
    };
    env_.publish_timing = {200ms, 500ms, 30};
  }
  ~PublishedRecording() override { fs::remove_all(dir_); }

  void SetUp() override {
    if (!TestBroker::available()) GTEST_SKIP() << "no mosquitto broker installed";
    broker_ = std::make_unique<TestBroker>();
  }

  int record(int count, std::string& err) {
    std::ostringstream out, error;
    const int status = run_record({"--port", meter_.path(), "--count", std::to_string(count),
                                   "--language", "1", "--publish", broker_->url("lab/b1")},
                                  out, error, env_);
    err = error.str();
    return status;
  }

  // The indices of the readings, in the order they first arrived, and how
  // many arrived a second time.
  static std::pair<std::vector<std::int64_t>, int> arrivals(const std::vector<std::string>& all) {
    std::vector<std::int64_t> first;
    std::set<std::int64_t> seen;
    int again = 0;
    for (const std::string& payload : all) {
      const std::int64_t index = nlohmann::json::parse(payload)["index"];
      if (seen.insert(index).second) {
        first.push_back(index);
      } else {
        ++again;
      }
    }
    return {first, again};
  }

  static std::vector<std::string> readings(const std::vector<testing::ReceivedMessage>& all) {
    std::vector<std::string> payloads;
    for (const auto& m : all) {
      if (m.topic == kReadings) payloads.push_back(m.payload);
    }
    return payloads;
  }

  static std::vector<std::int64_t> one_to(int n) {
    std::vector<std::int64_t> all(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) all[static_cast<std::size_t>(i)] = i + 1;
    return all;
  }

  fs::path dir_;
  PtyPair meter_;
  std::unique_ptr<PtyPair> second_;  // a second meter, for the runs of several
  std::unique_ptr<TestBroker> broker_;
  RecordEnvironment env_;
  Clock::time_point now_{};
  int sleeps_ = 0;
  std::function<void(int)> on_sleep = [](int) {};
  std::function<std::vector<std::uint8_t>(int)> frame_of = bench_reading;
};

// Two meters of one run: each publishes under its own key, every reading once
// and in order, and nothing goes to the topics of a lone meter.
TEST_F(PublishedRecording, EachMeterOfOneRunPublishesUnderItsOwnKey) {
  second_ = std::make_unique<PtyPair>();
  TestSubscriber subscriber(broker_->port(), "lab/b1/#");
  ASSERT_TRUE(subscriber.wait_subscribed(5s));
  std::ostringstream out, err;
  EXPECT_EQ(run_record({"--port", meter_.path(), "--port", second_->path(), "--meters", "2",
                        "--count", "5", "--language", "1", "--publish", broker_->url("lab/b1")},
                       out, err, env_),
            0)
      << err.str();
  for (const std::string key : {"A", "B"}) {
    SCOPED_TRACE(key);
    const std::string topic = "lab/b1/" + key + "/reading";
    std::vector<std::string> payloads;
    for (const auto& m : subscriber.wait_for(topic, 5, 5s)) {
      if (m.topic == topic) payloads.push_back(m.payload);
    }
    const auto [order, again] = arrivals(payloads);
    EXPECT_EQ(order, one_to(5));
    EXPECT_EQ(again, 0);
  }
  EXPECT_TRUE(readings(subscriber.messages()).empty());
}

TEST_F(PublishedRecording, EveryReadingArrivesOnceInOrderWithItsKeys) {
  TestSubscriber subscriber(broker_->port(), "lab/b1/#");
  ASSERT_TRUE(subscriber.wait_subscribed(5s));
  std::string err;
  EXPECT_EQ(record(10, err), 0);
  EXPECT_EQ(
      err, "tarvo-cli record: Broker: connecting (127.0.0.1:" + std::to_string(broker_->port()) +
               ")\ntarvo-cli record: Broker: online (127.0.0.1:" + std::to_string(broker_->port()) +
               ")\n");

  const auto all = readings(subscriber.wait_for(kReadings, 10, 5s));
  const auto [order, again] = arrivals(all);
  EXPECT_EQ(order, one_to(10));
  EXPECT_EQ(again, 0);
  ASSERT_FALSE(all.empty());
  const auto first = nlohmann::ordered_json::parse(all.front());
  std::vector<std::string> keys;
  for (const auto& [key, value] : first.items()) keys.push_back(key);
  EXPECT_EQ(keys, (std::vector<std::string>{"index", "time", "family", "function", "display",
                                            "range", "value", "unit", "base_value", "base_unit",
                                            "overload", "sub"}));
  EXPECT_EQ(first["time"], "2026-12-09T10:00:03+02:00");
  EXPECT_EQ(first["family"], "bench");
  EXPECT_EQ(first["display"], "0.4253");
  EXPECT_EQ(first["base_value"], 0.4253);
  EXPECT_EQ(first["sub"], nullptr);
  // The goodbye follows the last reading; it may reach the subscriber a moment
  // after the readings did.
  auto status = subscriber.messages();
  for (int i = 0; i < 250 && (status.empty() || status.back().payload != "offline"); ++i) {
    std::this_thread::sleep_for(20ms);
    status = subscriber.messages();
  }
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status.back().topic, "lab/b1/status");
  EXPECT_EQ(status.back().payload, "offline");
}

TEST_F(PublishedRecording, ReadingsMadeWhileTheBrokerIsDownArriveAfterwards) {
  TestSubscriber subscriber(broker_->port(), "lab/b1/#");
  ASSERT_TRUE(subscriber.wait_subscribed(5s));
  constexpr int kStopAt = 10;
  std::chrono::steady_clock::time_point stopped;
  int restarted_at = 0;
  on_sleep = [&](int n) {
    if (n == kStopAt) {
      broker_->stop();
      stopped = std::chrono::steady_clock::now();
    }
    if (n > kStopAt && restarted_at == 0 && std::chrono::steady_clock::now() - stopped >= 10s) {
      broker_->start();
      restarted_at = n;
    }
  };
  // At 25 ms or more a reading, the broker is back by reading 410; the
  // readings go on for a while after that.
  constexpr int kReadingsMade = 520;
  std::string err;
  EXPECT_EQ(record(kReadingsMade, err), 0) << err;
  ASSERT_GT(restarted_at, 0) << "the recording ended before the broker came back";
  EXPECT_LT(restarted_at, kReadingsMade - 20);
  EXPECT_NE(err.find("Broker: offline"), std::string::npos) << err;

  const auto [order, again] =
      arrivals(readings(subscriber.wait_for(kReadings, kReadingsMade, 10s)));
  EXPECT_EQ(order, one_to(kReadingsMade));
  // Only a reading in flight when the broker went down may come twice: its
  // acknowledgement can be lost with the connection.
  EXPECT_LE(again, 20);
}

// A queue that fills while the broker is away lets the oldest readings go:
// the error stream says so when it starts and how many at the end, and the
// exit status is 5 although everything else went well.
TEST_F(PublishedRecording, ReadingsDroppedFromAFullQueueGiveStatusFive) {
  TestSubscriber subscriber(broker_->port(), "lab/b1/#");
  ASSERT_TRUE(subscriber.wait_subscribed(5s));
  env_.publish_capacity = 3;
  broker_->stop();
  // Back at the last wait: the newest readings reach it, in order.
  on_sleep = [this](int n) {
    if (n == 14) broker_->start();
  };
  std::string err;
  EXPECT_EQ(record(12, err), 5) << err;
  EXPECT_NE(err.find("the queue for the broker is full (3 readings): the oldest readings are "
                     "dropped"),
            std::string::npos)
      << err;
  const auto [order, again] = arrivals(readings(subscriber.wait_for(kReadings, 3, 10s)));
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order.back(), 12);
  EXPECT_EQ(order.back() - order.front() + 1, static_cast<std::int64_t>(order.size()));
  const std::string dropped = std::to_string(12 - order.size()) + " readings were dropped";
  EXPECT_NE(err.find(dropped + " from the full queue and never reached the broker"),
            std::string::npos)
      << err;
}

// 0.42ab V on the bench's display.
std::vector<std::uint8_t> bench_value(int ab) {
  std::vector<std::uint8_t> frame = bench_reading(0);
  frame[7] = static_cast<std::uint8_t>(ab / 10);
  frame[8] = static_cast<std::uint8_t>(ab % 10);
  return frame;
}

// A value resting at the limit with a noise of +-3 counts that crosses it
// three times for 20 s: each excursion is one notice of the desktop's
// notification service and one alarm start and one end on PREFIX/alarm.
TEST_F(PublishedRecording, ANoisyLimitCrossedThreeTimesIsThreeNoticesAndThreeAlarmMessages) {
  if (!testing::NotificationService::available()) GTEST_SKIP() << "no dbus-daemon, Xvfb or dunst";
  testing::NotificationService notices;
  const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  const std::optional<std::string> old_address =
      old != nullptr ? std::optional<std::string>(old) : std::nullopt;
  ::setenv("DBUS_SESSION_BUS_ADDRESS", notices.address().c_str(), 1);
  frame_of = [](int n) {
    static const int noise[] = {0, 3, -2, 1, -3, 2, -1};
    const int t = n - 2;
    const bool out = (t >= 20 && t < 40) || (t >= 60 && t < 80) || (t >= 100 && t < 120);
    return bench_value((out ? 53 : 47) + noise[(n * 5) % 7]);
  };
  TestSubscriber subscriber(broker_->port(), "lab/b1/#");
  ASSERT_TRUE(subscriber.wait_subscribed(5s));
  std::ostringstream out, err;
  const int status = run_record({"--port", meter_.path(), "--count", "135", "--language", "1",
                                 "--publish", broker_->url("lab/b1"), "--high", "0.425",
                                 "--hysteresis", "0.0002", "--min-duration", "2", "--notify"},
                                out, err, env_);
  if (old_address) {
    ::setenv("DBUS_SESSION_BUS_ADDRESS", old_address->c_str(), 1);
  } else {
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  }
  EXPECT_EQ(status, 0) << err.str();
  std::string alarms;
  for (const auto& m : subscriber.wait_for("lab/b1/alarm", 6, 10s)) {
    if (m.topic != "lab/b1/alarm") continue;
    const auto j = nlohmann::json::parse(m.payload);
    alarms += j["alarm"] == "start" ? "S" : "E";
    EXPECT_EQ(j["kind"], "high");
    EXPECT_EQ(j["limit"], 0.425);
  }
  EXPECT_EQ(alarms, "SESESE");
  bool three = false;
  for (int i = 0; i < 500 && !three; ++i) {
    three = notices.shown() == 3;
    if (!three) std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(notices.shown(), 3) << err.str();
}

TEST(RecordPublishOption, AWrongAddressIsRefusedAtStart) {
  std::ostringstream out, err;
  EXPECT_EQ(run_record({"--publish", "mqtt://broker"}, out, err), 2);
  EXPECT_EQ(err.str(),
            "tarvo-cli record: --publish: a topic prefix must follow the host, as in "
            "mqtt://broker/lab/bench1\n");
}

}  // namespace
}  // namespace tarvo::cli
