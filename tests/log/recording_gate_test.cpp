#include "log/recording_gate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

using K = TriggerCondition::Kind;

// Offers readings 0, 1, 2, ... with the given values, one a second, and
// lists the numbers that came through.
std::vector<int> passed(const GateRule& rule, const std::vector<double>& values) {
  RecordingGate<int> gate(rule);
  gate.arm(0, 0);
  std::vector<int> out;
  for (int i = 0; i < static_cast<int>(values.size()); ++i) {
    for (int n : gate.offer(i, {double(i), values[i], 0}, i)) out.push_back(n);
  }
  return out;
}

TEST(RecordingGate, PretriggerReadingsComeFirstThenUntilTheStop) {
  struct Case {
    const char* name;
    GateRule rule;
    std::vector<double> values;
    std::vector<int> passed;
  };
  const std::vector<double> ramp = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  const Case cases[] = {
      {"three before the crossing", {{K::Rises, 5.5}, 3, {}, {4, 0}}, ramp, {3, 4, 5, 6, 7, 8, 9}},
      {"fewer held than asked", {{K::Rises, 1.5}, 10, {}, {3, 0}}, ramp, {0, 1, 2, 3, 4}},
      {"no pretrigger", {{K::Rises, 5.5}, 0, {}, {2, 0}}, ramp, {6, 7}},
      {"stop after a duration", {{K::Rises, 5.5}, 1, {}, {0, 3}}, ramp, {5, 6, 7, 8, 9}},
      {"stop on a second condition",
       {{K::Rises, 2.5}, 0, TriggerCondition{K::Falls, 1.5}, {}},
       {0, 1, 3, 4, 2, 1, 0, 5},
       {2, 3, 4, 5}},
      {"never triggered", {{K::Falls, -1}, 5, {}, {1, 0}}, ramp, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(passed(c.rule, c.values), c.passed) << c.name;
}

TEST(RecordingGate, StatesAndTheTriggerMoment) {
  RecordingGate<int> gate({{K::Rises, 1}, 2, {}, {2, 0}});
  gate.arm(0, 0);
  EXPECT_TRUE(gate.offer(0, {0, 0.0, 0}, 0).empty());
  EXPECT_EQ(gate.state(), GateState::Armed);
  EXPECT_EQ(gate.held(), 1u);
  EXPECT_EQ(gate.offer(1, {1, 2.0, 0}, 1), (std::vector<int>{0, 1}));
  EXPECT_TRUE(gate.just_triggered());
  EXPECT_EQ(gate.state(), GateState::Recording);
  EXPECT_EQ(gate.offer(2, {2, 2.0, 0}, 2), (std::vector<int>{2}));
  EXPECT_FALSE(gate.just_triggered());
  EXPECT_EQ(gate.state(), GateState::Done);
  EXPECT_TRUE(gate.offer(3, {3, 2.0, 0}, 3).empty());
}

}  // namespace
}  // namespace tarvo
