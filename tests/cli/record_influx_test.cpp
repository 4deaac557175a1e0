// tarvo-cli record --influx: a meter on a pseudo-terminal and a real InfluxDB
// server on 127.0.0.1 that goes away for half a minute in the middle. The
// command's clock is the test's, but each of its sleeps also lets some real
// time pass, so that the writer's side runs as it would.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "pty_pair.h"
#include "record_command.h"
#include "test_influx.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = RecordEnvironment::Clock;
using tarvo::testing::PtyPair;
using tarvo::testing::TestInflux;

std::vector<std::uint8_t> bench_reading(int d) {
  return {0xA0, 0x00, 0x30, 0x00, 0x00, 0x04, 0x02, 0x05, static_cast<std::uint8_t>(d % 10),
          0x00, 0x00, 0x00, 0x5B, 0x00};
}

// 2026-12-09 at +02:00, the day the test's clock runs on.
std::int64_t expected_ns(const std::string& hhnnss) {
  const int h = std::stoi(hhnnss.substr(0, 2));
  const int n = std::stoi(hhnnss.substr(3, 2));
  const int s = std::stoi(hhnnss.substr(6, 2));
  return (1'796'774'400LL + (h - 2) * 3600LL + n * 60LL + s) * 1'000'000'000LL;
}

class InfluxRecording : public ::testing::Test {
 protected:
  InfluxRecording() {
    dir_ = fs::temp_directory_path() / ("tarvo-influx-record-" + std::to_string(getpid()));
    fs::create_directories(dir_ / "sys");
    fs::create_directories(dir_ / "dev");
    env_.roots = {dir_ / "sys", dir_ / "dev"};
    env_.session_folder = dir_ / "sessions";
    env_.steady_now = [this] { return now_; };
    env_.sleep_until = [this](Clock::time_point deadline) {
      if (deadline > now_) now_ = deadline;
      meter_.send(bench_reading(++sleeps_));
      if (second_) second_->send(bench_reading(sleeps_ + 5));
      on_sleep(sleeps_);
      std::this_thread::sleep_for(25ms);
    };
    env_.stop_requested = [this] { return stop_; };
    env_.local_now = [this] {
      const auto s = std::chrono::duration_cast<std::chrono::seconds>(now_.time_since_epoch());
      const int t = static_cast<int>(s.count());
      return LocalTime{2026, 12, 9, 10 + t / 3600, t / 60 % 60, t % 60, 0, 120};
    };
    env_.publish_timing = {200ms, 1000ms, 30, 500ms};
  }
  ~InfluxRecording() override { fs::remove_all(dir_); }

  fs::path dir_;
  PtyPair meter_;
  std::unique_ptr<PtyPair> second_;  // a second meter, for the runs of several
  RecordEnvironment env_;
  Clock::time_point now_{};
  int sleeps_ = 0;
  bool stop_ = false;
  std::function<void(int)> on_sleep = [](int) {};
};

// Two meters of one run: each line carries its meter's letter, and each
// meter's readings are all there, once.
TEST_F(InfluxRecording, EachMeterOfOneRunIsTaggedWithItsLetter) {
  if (!TestInflux::available()) GTEST_SKIP() << "no influxd installed";
  TestInflux server;
  server.query("", "CREATE DATABASE lab");
  second_ = std::make_unique<PtyPair>();
  std::ostringstream out, err;
  EXPECT_EQ(
      run_record({"--port", meter_.path(), "--port", second_->path(), "--meters", "2", "--count",
                  "5", "--language", "1", "--influx", server.url(), "--influx-db", "lab"},
                 out, err, env_),
      0)
      << err.str();
  const auto answer = nlohmann::json::parse(
      server.query("lab", "SELECT \"index\", display FROM tarvo GROUP BY \"key\""));
  const auto& series = answer["results"][0]["series"];
  ASSERT_EQ(series.size(), 2u) << answer.dump();
  for (std::size_t m = 0; m < 2; ++m) {
    SCOPED_TRACE(m);
    EXPECT_EQ(series[m]["tags"]["key"], m == 0 ? "A" : "B");
    std::vector<std::int64_t> indexes;
    for (const auto& row : series[m]["values"]) indexes.push_back(row[1]);
    EXPECT_EQ(indexes, (std::vector<std::int64_t>{1, 2, 3, 4, 5}));
  }
}

TEST_F(InfluxRecording, EveryReadingIsThereOnceWithItsOwnTimeAfterAnOutage) {
  if (!TestInflux::available()) GTEST_SKIP() << "no influxd installed";
  TestInflux server;
  server.query("", "CREATE DATABASE lab");
  constexpr int kStopAt = 10;
  std::chrono::steady_clock::time_point stopped;
  int restarted_at = 0;
  on_sleep = [&](int n) {
    if (n == kStopAt) {
      server.stop();
      stopped = std::chrono::steady_clock::now();
    }
    if (n > kStopAt && restarted_at == 0 && std::chrono::steady_clock::now() - stopped >= 30s) {
      server.start();
      restarted_at = n;
    }
    if (restarted_at > 0 && n >= restarted_at + 40) stop_ = true;
  };
  std::ostringstream out, err;
  const int status = run_record(
      {"--port", meter_.path(), "--language", "1", "--influx", server.url(), "--influx-db", "lab"},
      out, err, env_);
  EXPECT_EQ(status, 0) << err.str();
  ASSERT_GT(restarted_at, 0);
  EXPECT_NE(err.str().find("InfluxDB: away ("), std::string::npos) << err.str();
  EXPECT_NE(err.str().find(" readings wait"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("InfluxDB: back, writing"), std::string::npos) << err.str();

  // What the recording printed, reading by reading.
  std::map<std::int64_t, nlohmann::json> printed;
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    const auto j = nlohmann::json::parse(line);
    printed[j["Index"].get<std::int64_t>()] = j;
  }
  ASSERT_GT(printed.size(), 300u);  // half a minute away, at 25 ms or more a reading

  const auto answer = nlohmann::json::parse(
      server.query("lab", "SELECT \"index\", display, value, function, unit FROM tarvo"));
  const auto& rows = answer["results"][0]["series"][0]["values"];
  ASSERT_EQ(rows.size(), printed.size());
  std::set<std::int64_t> seen;
  for (const auto& row : rows) {
    const std::int64_t index = row[1];
    ASSERT_TRUE(seen.insert(index).second) << index;
    ASSERT_EQ(printed.count(index), 1u) << index;
    const auto& reading = printed[index];
    EXPECT_EQ(row[0].get<std::int64_t>(), expected_ns(reading["Time"])) << index;
    EXPECT_EQ(row[2], reading["Main_No"]) << index;
    EXPECT_EQ(row[3], reading["value"]) << index;
    EXPECT_EQ(row[4], reading["Func_Name"]) << index;
    EXPECT_EQ(row[5], "V");
  }
}

}  // namespace
}  // namespace tarvo::cli
