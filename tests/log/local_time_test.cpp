#include "log/local_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

namespace tarvo {
namespace {

struct FormatCase {
  LocalTime time;
  const char* hhnnss;
  const char* hhmmss_z;
  const char* date_time;
};

TEST(LocalTime, FormatsPadEveryFieldButTheMilliseconds) {
  const FormatCase cases[] = {
      {{2026, 12, 9, 9, 5, 3, 45}, "09:05:03", "09:05:03.45", "2026-12-09:09:05:03"},
      {{2026, 1, 31, 23, 59, 59, 450}, "23:59:59", "23:59:59.450", "2026-01-31:23:59:59"},
      {{1999, 7, 4, 0, 0, 0, 0}, "00:00:00", "00:00:00.0", "1999-07-04:00:00:00"},
      {{2000, 2, 29, 12, 30, 7, 5}, "12:30:07", "12:30:07.5", "2000-02-29:12:30:07"},
      {{2031, 10, 10, 10, 10, 10, 999}, "10:10:10", "10:10:10.999", "2031-10-10:10:10:10"},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.date_time);
    EXPECT_EQ(format_hhnnss(c.time), c.hhnnss);
    EXPECT_EQ(format_hhmmss_z(c.time), c.hhmmss_z);
    EXPECT_EQ(format_date_time(c.time), c.date_time);
  }
}

bool same_moment(const LocalTime& t, const std::tm& parts) {
  return t.year == parts.tm_year + 1900 && t.month == parts.tm_mon + 1 && t.day == parts.tm_mday &&
         t.hour == parts.tm_hour && t.minute == parts.tm_min && t.second == parts.tm_sec;
}

TEST(LocalTime, NowMatchesTheLocalCalendarOfTheClock) {
  using Clock = std::chrono::system_clock;
  const std::time_t before = Clock::to_time_t(Clock::now());
  const LocalTime now = now_local();
  const std::time_t after = Clock::to_time_t(Clock::now());

  std::tm first{}, last{};
  localtime_r(&before, &first);
  localtime_r(&after, &last);
  EXPECT_TRUE(same_moment(now, first) || same_moment(now, last)) << format_date_time(now);
  EXPECT_GE(now.millisecond, 0);
  EXPECT_LE(now.millisecond, 999);
}

TEST(LocalTime, IsoFormsCarryTheZoneOnlyWhenAsked) {
  const LocalTime east{2026, 12, 9, 14, 3, 27, 0, 60};
  const LocalTime west{2026, 1, 2, 3, 4, 5, 0, -9 * 60 - 30};
  EXPECT_EQ(format_iso_local(east), "2026-12-09T14:03:27");
  EXPECT_EQ(format_iso_offset(east), "2026-12-09T14:03:27+01:00");
  EXPECT_EQ(format_iso_offset(west), "2026-01-02T03:04:05-09:30");
  LocalTime back;
  ASSERT_TRUE(parse_iso_local(format_iso_offset(west), back));
  EXPECT_EQ(back, west);
}

TEST(LocalTime, ParsingRefusesWhatIsNotAMoment) {
  for (const char* text : {"", "2026-12-09 14:03:27", "2026-13-09T14:03:27", "2026-02-30T00:00:00",
                           "2026-12-09T24:00:00", "2026-12-09T14:03:2x", "2026-12-09T14:03:27Z",
                           "2026-12-09T14:03:27+1:00", "2026-12-09T14:03:27+01:00x"}) {
    LocalTime t;
    EXPECT_FALSE(parse_iso_local(text, t)) << text;
  }
}

}  // namespace
}  // namespace tarvo
