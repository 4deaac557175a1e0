// What one commit reaches through the recording, and in which order: the
// session file has the reading on the disk before anything else hears of it.
#include "recording/recording.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "files/session_file.h"
#include "link/polling_cycle.h"
#include "publish/publish_target.h"
#include "test_broker.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr LocalTime kNow{2026, 12, 9, 14, 3, 27, 0, 60};

class NoTrace final : public DebugTrace {
 public:
  void add_line(std::string) override {}
  void clear() override {}
};

class Probe final : public CommitListener {
 public:
  explicit Probe(std::function<void(const real_Record&)> check) : check_(std::move(check)) {}
  void reading_committed(const real_Record& record) override {
    ++calls;
    check_(record);
  }
  int calls = 0;

 private:
  std::function<void(const real_Record&)> check_;
};

std::string bytes_of(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

class Recorded : public ::testing::Test {
 protected:
  Recorded()
      : folder_(fs::temp_directory_path() / ("tarvo-recording-" + std::to_string(::getpid()))),
        recording_({make_system_serial_devices(), trace_, [] { return kNow; }, folder_}) {
    MeterState& s = recording_.state();
    s.model = MeterModel::ModelTarvo;
    s.reading.Main_No = "3.3014";
    s.reading.Main_Range = "DCV AUTO 5.0000 V";
    s.ReadingTime = kNow;
  }
  ~Recorded() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  fs::path folder_;
  NoTrace trace_;
  Recording recording_;
};

// The view subscribes first, the publisher next and the session file last;
// when the view hears of the reading, the file holds it followed by the
// alarm's line, and the publisher has queued it.
TEST_F(Recorded, TheSessionFileHearsFirstWhateverTheOrderOfSubscribing) {
  bool checked = false;
  Probe view([&](const real_Record& record) {
    const std::string file = bytes_of(recording_.session_keeper().path());
    const std::size_t reading = file.find(session_reading_line(record));
    const std::size_t breach = file.find(
        session_event_line(SessionEvent::AlarmStart, kNow,
                           std::vector<std::string>{"high", "1", "V", format_iso_offset(kNow)}));
    EXPECT_NE(reading, std::string::npos);
    EXPECT_NE(breach, std::string::npos);
    EXPECT_LT(reading, breach);
    EXPECT_EQ(recording_.limits().last(), LimitBreach::High);
    EXPECT_EQ(recording_.publisher()->status().waiting, 1u);
    checked = true;
  });
  const CommitSubscription following =
      recording_.state().commit_listeners.subscribe(CommitStage::Views, view);
  std::string why;
  const auto target = parse_publish_url(
      "mqtt://127.0.0.1:" + std::to_string(testing::closed_loopback_port()) + "/lab/r1", why);
  ASSERT_TRUE(target) << why;
  recording_.publish(*target, {100ms, 200ms, 30});
  recording_.set_limits_for_next(1.0, std::nullopt);
  recording_.session_keeper().acquisition_began();

  commit_reading(recording_.state(), nullptr);
  EXPECT_TRUE(checked);
  EXPECT_EQ(recording_.finish_publishing(0ms), 1u);
}

// A view whose handle is gone is not told; the parts of the recording still are.
TEST_F(Recorded, AViewWhoseHandleIsGoneIsNoLongerTold) {
  Probe view([](const real_Record&) {});
  CommitSubscription following =
      recording_.state().commit_listeners.subscribe(CommitStage::Views, view);
  commit_reading(recording_.state(), nullptr);
  following = CommitSubscription();
  commit_reading(recording_.state(), nullptr);
  EXPECT_EQ(view.calls, 1);
  EXPECT_EQ(recording_.statistics().current().seen(), 2);
}

// After the publishing finished, later commits no longer reach the publisher.
TEST_F(Recorded, FinishedPublishingTakesThePublisherOut) {
  std::string why;
  const auto target = parse_publish_url(
      "mqtt://127.0.0.1:" + std::to_string(testing::closed_loopback_port()) + "/lab/r2", why);
  ASSERT_TRUE(target) << why;
  recording_.publish(*target, {100ms, 200ms, 30});
  EXPECT_EQ(recording_.state().commit_listeners.size(), 4u);
  commit_reading(recording_.state(), nullptr);
  EXPECT_EQ(recording_.finish_publishing(0ms), 1u);
  // The statistics, the limits and the alarms.
  EXPECT_EQ(recording_.state().commit_listeners.size(), 3u);
}

// Each alarm goes to PREFIX/alarm while publishing, unless the user switched
// that off; the readings go on either way.
TEST_F(Recorded, AlarmsGoToTheBrokerOnlyWhileSwitchedOn) {
  if (!testing::TestBroker::available()) GTEST_SKIP() << "no mosquitto broker installed";
  testing::TestBroker broker;
  testing::TestSubscriber subscriber(broker.port(), "lab/r3/#");
  ASSERT_TRUE(subscriber.wait_subscribed(5s));
  std::string why;
  const auto target = parse_publish_url(broker.url("lab/r3"), why);
  ASSERT_TRUE(target) << why;
  recording_.publish(*target, {100ms, 200ms, 30});
  recording_.set_limits({{"DCV", "V"}, 3.0, std::nullopt});
  MeterState& s = recording_.state();
  const auto commit = [&](const char* value) {
    s.reading.Main_No = value;
    commit_reading(s, nullptr);
  };
  recording_.publish_alarms(false);
  commit("3.3014");  // an alarm starts, unheard by the broker
  commit("2.9000");  // and ends
  recording_.publish_alarms(true);
  commit("3.1000");
  commit("2.8000");
  subscriber.wait_for("lab/r3/alarm", 2, 10s);
  EXPECT_EQ(recording_.finish_publishing(5s), 0u);
  std::vector<std::string> alarms;
  int readings = 0;
  for (const auto& m : subscriber.messages()) {
    if (m.topic == "lab/r3/alarm") alarms.push_back(nlohmann::json::parse(m.payload)["alarm"]);
    if (m.topic == "lab/r3/reading") ++readings;
  }
  EXPECT_EQ(alarms, (std::vector<std::string>{"start", "end"}));
  EXPECT_EQ(readings, 4);
}

}  // namespace
}  // namespace tarvo
