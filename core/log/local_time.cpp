#include "log/local_time.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace tarvo {
namespace {

int utc_offset_minutes(const std::tm& parts) {
#if defined(_WIN32)
  long bias = 0;
  _get_timezone(&bias);
  return static_cast<int>(-bias / 60) + (parts.tm_isdst > 0 ? 60 : 0);
#else
  return static_cast<int>(parts.tm_gmtoff / 60);
#endif
}

bool read_digits(std::string_view text, std::size_t at, std::size_t n, int& out) {
  if (at + n > text.size()) return false;
  out = 0;
  for (std::size_t i = at; i < at + n; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    out = out * 10 + (text[i] - '0');
  }
  return true;
}

bool plausible(const LocalTime& t) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= kDays[t.month - 1] &&
         t.hour <= 23 && t.minute <= 59 && t.second <= 60;
}

}  // namespace

LocalTime now_local() {
  const auto now = std::chrono::system_clock::now();
  const auto since_epoch = now.time_since_epoch();
  const auto seconds = std::chrono::floor<std::chrono::seconds>(since_epoch);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch - seconds);

  const std::time_t whole = static_cast<std::time_t>(seconds.count());
  std::tm parts{};
  // localtime_r alone may keep a time zone read before TZ changed.
  tzset();
  localtime_r(&whole, &parts);
  return {parts.tm_year + 1900,
          parts.tm_mon + 1,
          parts.tm_mday,
          parts.tm_hour,
          parts.tm_min,
          parts.tm_sec,
          static_cast<int>(millis.count()),
          utc_offset_minutes(parts)};
}

// The buffers are sized for any int, so a nonsense moment is shown, never cut.
std::string format_hhnnss(const LocalTime& t) {
  char text[48];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

std::string format_hhmmss_z(const LocalTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%d", t.hour, t.minute, t.second, t.millisecond);
  return text;
}

std::string format_date_time(const LocalTime& t) {
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d:%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::string format_iso_local(const LocalTime& t) {
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::string format_iso_offset(const LocalTime& t) {
  const int offset = t.utc_offset_minutes < 0 ? -t.utc_offset_minutes : t.utc_offset_minutes;
  char zone[32];
  std::snprintf(zone, sizeof zone, "%c%02d:%02d", t.utc_offset_minutes < 0 ? '-' : '+', offset / 60,
                offset % 60);
  return format_iso_local(t) + zone;
}

bool parse_iso_local(std::string_view text, LocalTime& out) {
  LocalTime t;
  if (text.size() < 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':') {
    return false;
  }
  if (!read_digits(text, 0, 4, t.year) || !read_digits(text, 5, 2, t.month) ||
      !read_digits(text, 8, 2, t.day) || !read_digits(text, 11, 2, t.hour) ||
      !read_digits(text, 14, 2, t.minute) || !read_digits(text, 17, 2, t.second) || !plausible(t)) {
    return false;
  }
  if (text.size() == 19) {
    out = t;
    return true;
  }
  int hours = 0, minutes = 0;
  if (text.size() != 25 || (text[19] != '+' && text[19] != '-') || text[22] != ':' ||
      !read_digits(text, 20, 2, hours) || !read_digits(text, 23, 2, minutes) || hours > 23 ||
      minutes > 59) {
    return false;
  }
  t.utc_offset_minutes = (text[19] == '-' ? -1 : 1) * (hours * 60 + minutes);
  out = t;
  return true;
}

std::int64_t days_from_civil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yoe = year - era * 400;
  const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

double epoch_seconds(const LocalTime& t) {
  const std::int64_t days = days_from_civil(t.year, t.month, t.day);
  const std::int64_t seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second -
                               std::int64_t{t.utc_offset_minutes} * 60;
  return static_cast<double>(seconds) + t.millisecond / 1000.0;
}

}  // namespace tarvo
