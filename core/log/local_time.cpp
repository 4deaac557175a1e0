#include "log/local_time.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace tarvo {

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
          static_cast<int>(millis.count())};
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

}  // namespace tarvo
