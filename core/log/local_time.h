#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

// A local date and time as the program shows it. Taken from the clock once and
// then only formatted, so a test can supply any moment it likes.
struct LocalTime {
  int year = 1970, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int utc_offset_minutes = 0;  // east of UTC; what the zone was at that moment

  friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

LocalTime now_local();

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar
// (H. Hinnant's civil-date algorithm): differences of dates without a zone.
std::int64_t days_from_civil(std::int64_t year, int month, int day);

// Seconds since 1970 of a local date-time with its offset: the time line on
// which alarms and conditions measure durations, the same for a live reading
// and for one read back from a file.
double epoch_seconds(const LocalTime& t);

// "09:05:03": the time of a log record.
std::string format_hhnnss(const LocalTime& t);
// "09:05:03.45": debug trace stamps, milliseconds without leading zeros.
std::string format_hhmmss_z(const LocalTime& t);
// "2026-12-09:09:05:03": the status-bar clock.
std::string format_date_time(const LocalTime& t);
// "2026-12-09T09:05:03": a dated record, local time without the zone.
std::string format_iso_local(const LocalTime& t);
// "2026-12-09T09:05:03+01:00": a moment others must place exactly.
std::string format_iso_offset(const LocalTime& t);
// Reads either ISO form above (the offset is optional and kept when given);
// false for anything else, including impossible dates and times.
bool parse_iso_local(std::string_view text, LocalTime& out);

}  // namespace tarvo
