#include "log/trigger_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

TEST(TriggerGrammar, ConditionsAndTheirRefusals) {
  struct Case {
    const char* text;
    bool valid;
    TriggerCondition::Kind kind;
    double level;
    int time_of_day;
  };
  using K = TriggerCondition::Kind;
  const Case cases[] = {
      {"rises:2.5", true, K::Rises, 2.5, 0},
      {"falls:-0.001", true, K::Falls, -0.001, 0},
      {"rises:1e3", true, K::Rises, 1000, 0},
      {"at:07:05", true, K::At, 0, 7 * 3600 + 300},
      {"at:23:59:59", true, K::At, 0, 86399},
      {"rises:2,5", false, K::Rises, 0, 0},
      {"rises:", false, K::Rises, 0, 0},
      {"rises:nan", false, K::Rises, 0, 0},
      {"rises:inf", false, K::Rises, 0, 0},
      {"above:2", false, K::Rises, 0, 0},
      {"at:24:00", false, K::At, 0, 0},
      {"at:7:05", false, K::At, 0, 0},
      {"at:07:60", false, K::At, 0, 0},
      {"at:07-05", false, K::At, 0, 0},
      {"", false, K::Rises, 0, 0},
  };
  for (const Case& c : cases) {
    std::string why;
    const auto t = parse_trigger(c.text, why);
    ASSERT_EQ(t.has_value(), c.valid) << c.text;
    EXPECT_EQ(why.empty(), c.valid) << c.text;
    if (!t) continue;
    EXPECT_EQ(t->kind, c.kind) << c.text;
    EXPECT_DOUBLE_EQ(t->level, c.level) << c.text;
    EXPECT_EQ(t->time_of_day, c.time_of_day) << c.text;
  }
}

TEST(TriggerGrammar, StopAfterCountOrDuration) {
  struct Case {
    const char* text;
    bool valid;
    std::int64_t readings;
    double seconds;
  };
  const Case cases[] = {
      {"500", true, 500, 0}, {"90s", true, 0, 90}, {"15m", true, 0, 900}, {"2h", true, 0, 7200},
      {"0", false, 0, 0},    {"-5", false, 0, 0},  {"s", false, 0, 0},    {"1.5h", false, 0, 0},
      {"10d", false, 0, 0},  {"", false, 0, 0},
  };
  for (const Case& c : cases) {
    std::string why;
    const auto s = parse_stop_after(c.text, why);
    ASSERT_EQ(s.has_value(), c.valid) << c.text;
    if (!s) continue;
    EXPECT_EQ(s->readings, c.readings) << c.text;
    EXPECT_DOUBLE_EQ(s->seconds, c.seconds) << c.text;
  }
}

// The index of the reading that fires, or -1.
int fires_at(TriggerCondition c, const std::vector<AlarmSample>& samples) {
  TriggerWatch watch(c);
  watch.arm(0, 0);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (watch.reading(samples[i])) return static_cast<int>(i);
  }
  return -1;
}

TEST(TriggerWatch, LevelsNeedACrossing) {
  using K = TriggerCondition::Kind;
  auto v = [](double x) { return AlarmSample{0, x, 0}; };
  const AlarmSample ol{0, {}, +1}, blank{0, {}, 0};
  EXPECT_EQ(fires_at({K::Rises, 5}, {v(4), v(4.9), v(5), v(6)}), 2);
  EXPECT_EQ(fires_at({K::Rises, 5}, {v(6), v(7), v(4), v(6)}), 3);  // armed above: waits
  EXPECT_EQ(fires_at({K::Falls, 5}, {v(6), v(5.1), v(5)}), 2);
  EXPECT_EQ(fires_at({K::Rises, 5}, {v(4), blank, ol}), 2);
  EXPECT_EQ(fires_at({K::Falls, 5}, {v(4), v(3)}), -1);
}

TEST(TriggerWatch, ClockTimeIsTheNextOneAfterArming) {
  TriggerWatch watch({TriggerCondition::Kind::At, 0, 10 * 3600});
  watch.arm(1000, 9 * 3600 + 59 * 60);  // armed at 09:59: due in 60 s
  EXPECT_FALSE(watch.reading({1059, 1.0, 0}));
  EXPECT_TRUE(watch.reading({1060, 1.0, 0}));
  watch.arm(0, 10 * 3600 + 1);  // just after 10:00: tomorrow's
  EXPECT_FALSE(watch.reading({3600, 1.0, 0}));
  EXPECT_TRUE(watch.reading({86399, 1.0, 0}));
}

}  // namespace
}  // namespace tarvo
