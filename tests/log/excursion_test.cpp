#include "log/excursion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvo {
namespace {

struct Step {
  double seconds;
  double value;
};

// Feeds the steps and writes what happened as "S<start>" for an alarm and
// "E<start>-<end>:<extreme>" for an end, so a case reads as one line.
std::string run(const ExcursionRule& rule, const std::vector<AlarmSample>& samples) {
  ExcursionTracker tracker(rule);
  std::string out;
  auto num = [](double v) {
    if (std::isinf(v)) return std::string(v > 0 ? "OL" : "-OL");
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
  };
  for (const AlarmSample& s : samples) {
    const ExcursionChange c = tracker.add(s);
    if (c.ended)
      out +=
          "E" + num(c.ended->start) + "-" + num(c.ended->end) + ":" + num(c.ended->extreme) + " ";
    if (c.started) out += "S" + num(c.started->start) + " ";
  }
  return out;
}

std::vector<AlarmSample> values(std::initializer_list<double> vs) {
  std::vector<AlarmSample> out;
  double t = 0;
  for (double v : vs) out.push_back({t++, v, 0});
  return out;
}

TEST(Excursions, OneEventPerExcursionWhateverTheReadingsDo) {
  struct Case {
    const char* name;
    ExcursionRule rule;
    std::vector<AlarmSample> samples;
    std::string expected;
  };
  const Case cases[] = {
      {"noise at the limit without hysteresis alarms each time",
       {5.0, {}, 0, 0},
       values({4.99, 5.01, 4.99, 5.01, 4.99}),
       "S1 E1-2:5.01 S3 E3-4:5.01 "},
      {"the same noise with hysteresis is one excursion",
       {5.0, {}, 0.05, 0},
       values({4.99, 5.01, 4.99, 5.01, 4.99, 4.9}),
       "S1 E1-5:5.01 "},
      {"a value exactly at a limit is inside it", {5.0, 1.0, 0, 0}, values({5.0, 1.0, 5.0}), ""},
      {"shorter than the minimum duration is no alarm",
       {5.0, {}, 0, 2},
       values({4, 6, 7, 4, 6, 6, 6, 4}),
       "S4 E4-7:6 "},
      {"the extreme is the farthest value, low side too",
       {{}, 1.0, 0, 0},
       values({2, 0.5, 0.2, 0.7, 2}),
       "S1 E1-4:0.2 "},
      {"a jump across both limits ends one and starts the other",
       {5.0, 1.0, 0, 0},
       values({6, 0, 3}),
       "S0 E0-1:6 S1 E1-2:0 "},
      {"a jump before the minimum duration starts the other candidate",
       {5.0, 1.0, 0, 1},
       values({6, 0, 0, 3}),
       "S1 E1-3:0 "},
      {"an overload is above any high limit",
       {5.0, {}, 0, 0},
       {{0, 4.0, 0}, {1, {}, +1}, {2, 4.0, 0}},
       "S1 E1-2:OL "},
      {"-OL is below any low limit", {{}, 1.0, 0, 0}, {{0, {}, -1}, {1, 2.0, 0}}, "S0 E0-1:-OL "},
      {"a blank display neither starts nor ends one",
       {5.0, {}, 0, 0},
       {{0, 6.0, 0}, {1, {}, 0}, {2, 6.0, 0}, {3, 4.0, 0}},
       "S0 E0-3:6 "},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.rule, c.samples), c.expected) << c.name;
}

// A value that rests just under a limit and crosses it three times for 20 s,
// with a noise of +-3 counts that touches the limit at rest and comes back to
// it while outside: with a hysteresis of two counts, three alarms and three
// ends; without one, the returns to the limit split the excursions.
int excursions_of_noisy_crossings(double hysteresis_counts) {
  const double limit = 5.0, count = 0.0001;
  ExcursionTracker tracker({limit, {}, hysteresis_counts * count, 0});
  unsigned seed = 12345;
  int started = 0, ended = 0;
  for (int t = 0; t < 300; ++t) {
    seed = seed * 1103515245u + 12345u;
    const int noise = static_cast<int>((seed >> 16) % 7) - 3;
    const bool out = (t >= 40 && t < 60) || (t >= 120 && t < 140) || (t >= 200 && t < 220);
    const double value = limit + ((out ? 3 : -3) + noise) * count;
    const ExcursionChange c = tracker.add({double(t), value, 0});
    started += c.started.has_value();
    ended += c.ended.has_value();
  }
  EXPECT_EQ(started, ended);
  return started;
}

TEST(Excursions, NoisyLimitCrossedThreeTimesGivesThree) {
  EXPECT_EQ(excursions_of_noisy_crossings(2), 3);
  EXPECT_GT(excursions_of_noisy_crossings(0), 3);
}

TEST(StaleData, OneAlarmPerSilenceEndedByTheNextReading) {
  StaleWatch watch(10);
  EXPECT_FALSE(watch.tick(100));  // nothing read yet: no silence to speak of
  EXPECT_FALSE(watch.reading(100));
  EXPECT_FALSE(watch.tick(109.9));
  EXPECT_TRUE(watch.tick(110));
  EXPECT_FALSE(watch.tick(111));
  EXPECT_TRUE(watch.stale());
  EXPECT_TRUE(watch.reading(115));
  EXPECT_FALSE(watch.stale());
  EXPECT_FALSE(watch.tick(124));
  EXPECT_TRUE(watch.tick(125.5));
}

}  // namespace
}  // namespace tarvo
