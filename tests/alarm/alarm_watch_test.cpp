#include "alarm/alarm_watch.h"

#include "alarm/alarm_command.h"
#include "alarm/alarm_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvo {
namespace {

LocalTime at(int second) {
  return {2026, 12, 9, 14, 5, second, 0, 60};
}

std::string line(const AlarmEvent& e) {
  return std::string(e.start ? "start " : "end ") + e.kind + " #" + std::to_string(e.key) + " " +
         (std::isnan(e.value) ? "" : alarm_number(e.value)) + " " + e.unit + " limit " +
         alarm_number(e.limit) + " at :" + std::to_string(e.when.second) +
         " noticed :" + std::to_string(e.now.second);
}

class Alarms : public ::testing::Test {
 protected:
  Alarms() {
    watch_.add_sink([this](const AlarmEvent& e) { events_.push_back(line(e)); });
  }
  void read(int second, std::optional<double> value, const char* function = "DCV",
            int overload = 0) {
    watch_.reading(function, "V", {double(second), value, overload}, at(second));
  }
  AlarmWatch watch_;
  std::vector<std::string> events_;
};

TEST_F(Alarms, AnExcursionIsOneStartAndOneEndWithItsTimes) {
  watch_.set({"", "", {5.0, 1.0, 0.1, 2}, 0});
  read(0, 4.9);
  read(1, 5.2);   // out: the excursion begins here
  read(2, 4.95);  // in the hysteresis band: still one excursion
  read(3, 5.6);   // two seconds out: the alarm
  read(4, 5.1);
  read(5, 4.8);            // back past the hysteresis: the end
  read(6, {}, "DCV", -1);  // -OL: below the low limit at once? only after 2 s
  read(7, 3.0);
  EXPECT_EQ(events_, (std::vector<std::string>{
                         "start high #1 5.6 V limit 5 at :1 noticed :3",
                         "end high #1 5.6 V limit 5 at :3 noticed :5",
                     }));
  EXPECT_EQ(watch_.excursions(), 1);
  EXPECT_FALSE(watch_.alarmed());
}

TEST_F(Alarms, OnlyTheFunctionAndUnitOfTheLimitsCount) {
  watch_.set({"", "", {5.0, {}, 0, 0}, 0});
  read(0, 1.0, "ACV");  // the command line's limits take the first reading's function
  read(1, 9.0, "DCV");
  read(2, 9.0, "ACV");
  read(3, {}, "ACV", +1);
  read(4, 1.0, "ACV");
  EXPECT_EQ(events_, (std::vector<std::string>{
                         "start high #1 9 V limit 5 at :2 noticed :2",
                         "end high #1 OL V limit 5 at :3 noticed :4",
                     }));
}

TEST_F(Alarms, SilenceIsAnAlarmUntilTheNextReading) {
  watch_.set({"DCV", "V", {}, 10});
  read(0, 1.0);
  watch_.tick(9, at(9));
  watch_.tick(10, at(10));
  watch_.tick(11, at(11));
  EXPECT_TRUE(watch_.alarmed());
  read(25, 1.0);
  EXPECT_EQ(events_, (std::vector<std::string>{
                         "start stale #1  s limit 10 at :0 noticed :10",
                         "end stale #1 25 s limit 10 at :25 noticed :25",
                     }));
}

TEST(AlarmNumbers, ShortestWithAPointAndOverloadsByName) {
  EXPECT_EQ(alarm_number(5.0123), "5.0123");
  EXPECT_EQ(alarm_number(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(alarm_number(-2), "-2");
  EXPECT_EQ(alarm_number(1.0 / 0.0), "OL");
  EXPECT_EQ(alarm_number(-1.0 / 0.0), "-OL");
}

TEST(AlarmMessages, TheDocumentedJson) {
  const double ol = 1.0 / 0.0;
  struct Case {
    AlarmEvent event;
    std::string json;
  };
  const Case cases[] = {
      {{true, "high", 1, 5.0123, "V", 5, at(0), at(20)},
       R"({"alarm":"start","kind":"high","key":1,"value":5.0123,"unit":"V","limit":5.0,)"
       R"("since":"2026-12-09T14:05:00+01:00","time":"2026-12-09T14:05:20+01:00"})"},
      {{false, "high", 1, ol, "V", 5, at(12), at(41)},
       R"({"alarm":"end","kind":"high","key":1,"value":"OL","unit":"V","limit":5.0,)"
       R"("extreme_time":"2026-12-09T14:05:12+01:00","time":"2026-12-09T14:05:41+01:00"})"},
      {{true, "stale", 2, std::nan(""), "s", 30, at(0), at(30)},
       R"({"alarm":"start","kind":"stale","key":2,"unit":"s","limit":30.0,)"
       R"("since":"2026-12-09T14:05:00+01:00","time":"2026-12-09T14:05:30+01:00"})"},
  };
  for (const Case& c : cases) EXPECT_EQ(alarm_message(c.event), c.json);
  EXPECT_EQ(alarm_session_details(cases[0].event),
            (std::vector<std::string>{"high", "5", "V", "2026-12-09T14:05:00+01:00"}));
  EXPECT_EQ(alarm_session_details(cases[1].event),
            (std::vector<std::string>{"high", "OL", "V", "2026-12-09T14:05:12+01:00"}));
  const AlarmFacts facts = alarm_facts(cases[1].event);
  EXPECT_EQ(alarm_environment(facts),
            (std::vector<std::string>{"TARVO_ALARM=end", "TARVO_KIND=high", "TARVO_VALUE=OL",
                                      "TARVO_UNIT=V", "TARVO_LIMIT=5",
                                      "TARVO_TIME=2026-12-09T14:05:41+01:00"}));
}

}  // namespace
}  // namespace tarvo
