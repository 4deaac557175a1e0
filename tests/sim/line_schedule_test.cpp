#include "line_schedule.h"

#include <gtest/gtest.h>

#include "scenario_parser.h"

namespace tarvo::sim {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

const Clock::time_point t0{seconds(1000)};

LineSchedule schedule_of(std::string_view text) {
  return LineSchedule(ScenarioPlayer(parse_scenario(text, MeterModel::ModelTarvo)), t0);
}

// Takes everything due at `at` and marks it sent.
std::size_t send_due(LineSchedule& s, Clock::time_point at) {
  const std::size_t n = s.due(at).size();
  s.sent(n);
  return n;
}

TEST(SimLineSchedule, OneByteEveryCharacterTime) {
  LineSchedule s = schedule_of("every 300ms\nDCV 50.000 V 1 for 1h");
  EXPECT_EQ(send_due(s, t0), 1U);
  EXPECT_EQ(s.next_deadline(), t0 + kByteTime);
  EXPECT_EQ(send_due(s, t0 + kByteTime - Duration(1)), 0U);
  EXPECT_EQ(send_due(s, t0 + kByteTime), 1U);
  EXPECT_EQ(send_due(s, t0 + 5 * kByteTime), 4U);  // a late caller gets all that is due
  EXPECT_EQ(send_due(s, t0 + 13 * kByteTime), 8U);
  EXPECT_EQ(s.next_deadline(), t0 + milliseconds(300));  // the next frame's slot
  EXPECT_EQ(send_due(s, t0 + milliseconds(299)), 0U);
  EXPECT_EQ(send_due(s, t0 + milliseconds(300)), 1U);
}

TEST(SimLineSchedule, KeepsTheFrameRateDespiteSlightlyLateCalls) {
  LineSchedule s = schedule_of("every 300ms\nDCV 50.000 V 1 for 1h");
  for (int frame = 0; frame < 20; ++frame) {
    const Clock::time_point start = t0 + frame * milliseconds(300);
    EXPECT_EQ(send_due(s, start + milliseconds(3)), 1U);
    EXPECT_EQ(send_due(s, start + milliseconds(70)), 13U);
    EXPECT_EQ(s.next_deadline(), start + milliseconds(300));
  }
}

TEST(SimLineSchedule, LongEmissionsPushTheNextOneBack) {
  LineSchedule s = schedule_of("junk 100\nDCV 50.000 V 1");
  EXPECT_EQ(send_due(s, t0), 1U);
  EXPECT_EQ(send_due(s, t0 + 99 * kByteTime), 99U);
  EXPECT_EQ(s.next_deadline(), t0 + 100 * kByteTime);  // junk has no slot of its own
  EXPECT_EQ(send_due(s, t0 + 100 * kByteTime), 1U);
}

TEST(SimLineSchedule, UnsentBytesStayDueAndHoldTheLine) {
  LineSchedule s = schedule_of("DCV 50.000 V 1 for 1h");
  s.due(t0);
  s.sent(0);
  const auto first = s.due(t0 + milliseconds(100));
  ASSERT_EQ(first.size(), 14U);
  s.sent(4);
  EXPECT_EQ(s.due(t0 + milliseconds(400)).size(), 10U);  // no new frame while these wait
  EXPECT_EQ(s.next_deadline(), t0 + 4 * kByteTime);
}

TEST(SimLineSchedule, AfterAStallItCarriesOnInsteadOfBursting) {
  LineSchedule s = schedule_of("every 300ms\nDCV 50.000 V 1 for 1h");
  send_due(s, t0);
  EXPECT_EQ(send_due(s, t0 + milliseconds(100)), 13U);
  const Clock::time_point late = t0 + seconds(30);
  EXPECT_LE(send_due(s, late), 3U);  // one frame just begun, not a hundred
  EXPECT_GT(s.next_deadline(), late);
}

TEST(SimLineSchedule, SilenceAndStop) {
  LineSchedule s = schedule_of("silence 2s\nbytes 01\nstop");
  EXPECT_EQ(send_due(s, t0), 0U);
  EXPECT_EQ(s.next_deadline(), t0 + seconds(2));
  EXPECT_EQ(send_due(s, t0 + seconds(2)), 1U);
  EXPECT_EQ(send_due(s, t0 + seconds(3)), 0U);
  EXPECT_EQ(s.state(), Emission::Then::Stop);
  EXPECT_EQ(s.next_deadline(), Clock::time_point::max());
}

}  // namespace
}  // namespace tarvo::sim
