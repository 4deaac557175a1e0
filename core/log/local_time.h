#pragma once

#include <string>

namespace tarvo {

// A local date and time as the program shows it. Taken from the clock once and
// then only formatted, so a test can supply any moment it likes.
struct LocalTime {
  int year = 1970, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

LocalTime now_local();

// "09:05:03": the time of a log record.
std::string format_hhnnss(const LocalTime& t);
// "09:05:03.45": debug trace stamps, milliseconds without leading zeros.
std::string format_hhmmss_z(const LocalTime& t);
// "2026-12-09:09:05:03": the status-bar clock.
std::string format_date_time(const LocalTime& t);

}  // namespace tarvo
