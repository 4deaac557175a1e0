// The writer against a real InfluxDB 1.x server on 127.0.0.1.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "publish/influx_writer.h"
#include "test_broker.h"
#include "test_influx.h"

namespace tarvo {
namespace {

using namespace std::chrono_literals;
using testing::TestInflux;

// Reading i at 10:00:00 plus i seconds, local time at +02:00.
real_Record record(std::int64_t i) {
  real_Record r;
  r.Index = i;
  r.Main_No.assign("1.5");
  r.Main_Range.assign("DCV AUTO 5.0000 V");
  const int s = static_cast<int>(i);
  r.DateTime = LocalTime{2026, 12, 9, 10 + s / 3600, s / 60 % 60, s % 60, 0, 120};
  r.Dated = true;
  return r;
}

InfluxTarget target(const TestInflux& server, const std::string& db) {
  InfluxSettings s;
  s.url = server.url();
  s.database = db;
  std::string why;
  return *influx_target(s, why);
}

// The points' index and time, in time order.
std::vector<std::pair<std::int64_t, std::int64_t>> points(const TestInflux& server,
                                                          const std::string& db) {
  const auto j = nlohmann::json::parse(server.query(db, "SELECT \"index\" FROM tarvo"));
  std::vector<std::pair<std::int64_t, std::int64_t>> found;
  const auto& result = j["results"][0];
  if (!result.contains("series")) return found;
  for (const auto& row : result["series"][0]["values"]) {
    found.emplace_back(row[1].get<std::int64_t>(), row[0].get<std::int64_t>());
  }
  return found;
}

bool wait_until(const std::function<bool()>& done, std::chrono::seconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

TEST(InfluxWriter, WritesEachReadingWithItsOwnTime) {
  if (!TestInflux::available()) GTEST_SKIP() << "no influxd installed";
  TestInflux server;
  server.query("", "CREATE DATABASE lab");
  MeterState session;
  session.model = MeterModel::ModelTarvo;
  InfluxWriter writer(target(server, "lab"), session);
  real_Record typed = record(99);
  typed.TestFrame = true;  // a frame typed by hand is no reading of the meter
  writer.reading_committed(typed);
  for (int i = 1; i <= 3; ++i) writer.reading_committed(record(i));
  ASSERT_TRUE(wait_until([&] { return writer.status().delivered == 3; }, 20s));
  EXPECT_EQ(writer.status().state, BrokerState::Online);
  EXPECT_EQ(points(server, "lab"),
            (std::vector<std::pair<std::int64_t, std::int64_t>>{{1, 1'796'803'201'000'000'000},
                                                                {2, 1'796'803'202'000'000'000},
                                                                {3, 1'796'803'203'000'000'000}}));
  EXPECT_EQ(writer.finish(2s), 0u);
}

// A missing database is a refusal the user must mend; the readings wait, and
// once it exists they all go out, in batches.
TEST(InfluxWriter, ARefusingServerKeepsTheReadingsUntilItTakesThem) {
  if (!TestInflux::available()) GTEST_SKIP() << "no influxd installed";
  TestInflux server;
  MeterState session;
  InfluxWriter writer(target(server, "later"), session, {100ms, 400ms, 30, 200ms});
  constexpr int kReadings = static_cast<int>(InfluxWriter::kBatch) + 1200;
  for (int i = 1; i <= kReadings; ++i) writer.reading_committed(record(i));
  bool refused = false;
  ASSERT_TRUE(wait_until(
      [&] {
        for (const BrokerEvent& e : writer.take_events()) {
          refused = refused || (e.state == BrokerState::Refused &&
                                e.detail.find("database not found") != std::string::npos);
        }
        return refused;
      },
      20s));
  EXPECT_EQ(writer.status().waiting, static_cast<std::size_t>(kReadings));
  server.query("", "CREATE DATABASE later");
  ASSERT_TRUE(wait_until([&] { return writer.status().waiting == 0; }, 30s));
  const auto found = points(server, "later");
  ASSERT_EQ(found.size(), static_cast<std::size_t>(kReadings));
  for (int i = 0; i < kReadings; ++i) EXPECT_EQ(found[static_cast<std::size_t>(i)].first, i + 1);
  EXPECT_EQ(writer.finish(2s), 0u);
}

TEST(InfluxWriter, NoServerMeansOfflineWithEveryReadingKept) {
  MeterState session;
  InfluxSettings s;
  s.url = "http://127.0.0.1:" + std::to_string(testing::closed_loopback_port());
  s.database = "lab";
  std::string why;
  InfluxWriter writer(*influx_target(s, why), session, {100ms, 200ms, 30, 200ms});
  for (int i = 1; i <= 5; ++i) writer.reading_committed(record(i));
  bool offline = false;
  ASSERT_TRUE(wait_until(
      [&] {
        for (const BrokerEvent& e : writer.take_events()) {
          offline = offline || (e.state == BrokerState::Offline &&
                                e.detail.find("next try in") != std::string::npos);
        }
        return offline;
      },
      20s));
  EXPECT_EQ(writer.status().waiting, 5u);
  EXPECT_EQ(writer.finish(0ms), 5u);
}

}  // namespace
}  // namespace tarvo
