#include "display/min_max_pyramid.h"

#include <gtest/gtest.h>

#include <random>

#include "display_test_log.h"

namespace tarvo {
namespace {

MinMax brute_force(const std::vector<std::optional<std::int64_t>>& values, std::int64_t begin,
                   std::int64_t end) {
  MinMax result;
  for (std::int64_t p = std::max<std::int64_t>(begin, 0);
       p < std::min<std::int64_t>(end, static_cast<std::int64_t>(values.size())); ++p) {
    if (values[static_cast<std::size_t>(p)]) result.add(*values[static_cast<std::size_t>(p)]);
  }
  return result;
}

class PyramidEnvelope : public ::testing::Test {
 protected:
  PyramidEnvelope() {
    std::mt19937_64 random(20261209);
    for (int i = 0; i < 5000; ++i) {
      const std::int64_t value = static_cast<std::int64_t>(random() % 200001) - 100000;
      values_.push_back(random() % 13 == 0 ? std::nullopt : std::optional(value));
      pyramid_.append(values_.back());
    }
  }
  std::vector<std::optional<std::int64_t>> values_;
  MinMaxPyramid pyramid_;
};

// Block edges of 8, 64, 512 and 4096, the ends, stretches beyond the end.
TEST_F(PyramidEnvelope, EdgeStretchesMatchTheValues) {
  const std::pair<std::int64_t, std::int64_t> stretches[] = {
      {0, 0},      {3, 3},       {0, 1},     {7, 8},       {7, 9},    {8, 16},
      {63, 65},    {64, 128},    {511, 513}, {1, 4999},    {0, 5000}, {4095, 4097},
      {511, 4609}, {4990, 6000}, {-3, 2},    {4999, 5000}, {100, 90},
  };
  for (const auto& [begin, end] : stretches) {
    EXPECT_EQ(pyramid_.envelope(begin, end), brute_force(values_, begin, end))
        << begin << ".." << end;
  }
}

TEST_F(PyramidEnvelope, RandomStretchesAndColumnsMatchTheValues) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 2000; ++i) {
    const auto a = static_cast<std::int64_t>(random() % 5001);
    const auto b = static_cast<std::int64_t>(random() % 5001);
    EXPECT_EQ(pyramid_.envelope(std::min(a, b), std::max(a, b)),
              brute_force(values_, std::min(a, b), std::max(a, b)));
  }
  for (const auto& [begin, end, width] :
       {std::tuple{0, 5000, 1200}, {17, 4000, 333}, {100, 150, 200}}) {
    const std::vector<MinMax> columns = pyramid_.columns(begin, end, width);
    ASSERT_EQ(columns.size(), static_cast<std::size_t>(width));
    for (int c = 0; c < width; ++c) {
      const std::int64_t from = begin + std::int64_t{end - begin} * c / width;
      const std::int64_t to = begin + std::int64_t{end - begin} * (c + 1) / width;
      EXPECT_EQ(columns[static_cast<std::size_t>(c)], brute_force(values_, from, to)) << c;
    }
  }
}

CurrentReading reading(const char* main_no, const char* range = "DCV AUTO 5.0000 V") {
  CurrentReading r;
  r.Main_No = main_no;
  r.Main_Range = range;
  return r;
}

// Overloads stand at the full scale of their range; a record without a
// number leaves its position empty.
TEST(LogPyramid, FollowsCommitsAndRebuildsAfterALoadOrReset) {
  const std::string separator = ".";
  ReadingLog log;
  LogPyramid follower(log, separator);
  const LocalTime t{2026, 12, 9, 14, 0, 0, 0, 60};
  for (const char* main_no : {"1.5000", "OL", "----", "-OL", "0.2500"}) {
    follower.reading_committed(log[log.append_reading(reading(main_no), t)]);
  }
  const MinMaxPyramid& pyramid = follower.pyramid();
  EXPECT_EQ(pyramid.size(), 5);
  EXPECT_EQ(pyramid.envelope(0, 2), (MinMax{15000, 50000}));
  EXPECT_TRUE(pyramid.envelope(2, 3).empty());
  EXPECT_EQ(pyramid.envelope(0, 5), (MinMax{-50000, 50000}));
  EXPECT_EQ(follower.run_start(), 1);
  follower.reading_committed(log[log.append_reading(reading("1.000", "ACV AUTO 50.000 V"), t)]);
  EXPECT_EQ(follower.run_start(), 6);

  log = log_of({{"2.0000"}, {"3.0000"}, {"1.0000", "OHM AUTO 500.00 Ω"}});
  EXPECT_EQ(follower.pyramid().envelope(0, 3), (MinMax{10000, 10000}));
  EXPECT_EQ(follower.unit(), "Ω");
  EXPECT_EQ(follower.run_start(), 3);
  log.reset_log_counters();
  EXPECT_EQ(follower.pyramid().size(), 0);
}

// Volts and ohms never share a value axis: the pyramid is that of the newest
// reading's function and unit, where the others leave empty places; a test
// frame has a place in none and starts no run.
TEST(LogPyramid, HoldsOnlyTheNewestReadingsFunctionAndUnit) {
  const std::string separator = ".";
  ReadingLog log;
  LogPyramid follower(log, separator);
  const LocalTime t{2026, 12, 9, 14, 0, 0, 0, 60};
  const auto commit = [&](const char* main_no, const char* range, bool test = false) {
    follower.reading_committed(
        log[log.append_reading(reading(main_no, range), t, {}, {false, test})]);
  };
  commit("230.00", "ACV AUTO 500.00 V");
  commit("4.7000", "OHM AUTO 50.000 KΩ");
  commit("0.4254", "ACV AUTO 5.0000 V", true);
  commit("4.8000", "OHM AUTO 50.000 KΩ");
  EXPECT_EQ(follower.unit(), "KΩ");
  EXPECT_EQ(follower.pyramid().size(), 4);
  EXPECT_EQ(follower.pyramid().envelope(0, 4), (MinMax{47000, 48000}));
  EXPECT_EQ(follower.run_start(), 2);
  commit("229.00", "ACV AUTO 500.00 V");
  EXPECT_EQ(follower.unit(), "V");
  EXPECT_EQ(follower.pyramid().envelope(0, 5), (MinMax{2290000, 2300000}));
  EXPECT_EQ(follower.run_start(), 5);
  log.reset_log_counters();
  EXPECT_EQ(follower.unit(), "");
}

}  // namespace
}  // namespace tarvo
