#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "log/reading_log.h"

namespace tarvo {

// One logged reading as the views see it.
struct LoggedReading {
  LoggedReading(std::string main_no_, std::string main_range_ = "DCV AUTO 5.0000 V",
                std::string time_ = "")
      : main_no(std::move(main_no_)), main_range(std::move(main_range_)), time(std::move(time_)) {}

  std::string main_no;
  std::string main_range;
  std::string time;  // record_time(n) when empty
};

// "12:03:20" for record 200: distinct, predictable times.
inline std::string record_time(std::int64_t n) {
  auto two = [](std::int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return two(12 + n / 3600 % 12) + ":" + two(n / 60 % 60) + ":" + two(n % 60);
}

inline ReadingLog log_of(const std::vector<LoggedReading>& readings) {
  std::vector<real_Record> records(readings.size());
  for (std::size_t i = 0; i < readings.size(); ++i) {
    const auto n = static_cast<std::int64_t>(i + 1);
    records[i].Index = n;
    records[i].Main_No.assign(readings[i].main_no);
    records[i].Main_Range.assign(readings[i].main_range);
    records[i].Time.assign(readings[i].time.empty() ? record_time(n) : readings[i].time);
  }
  ReadingLog log;
  log.replace(std::move(records));
  return log;
}

// count readings of one run, each "1.0000".
inline ReadingLog one_run_log(std::int64_t count,
                              const std::string& main_range = "DCV AUTO 5.0000 V") {
  return log_of(
      std::vector<LoggedReading>(static_cast<std::size_t>(count), {"1.0000", main_range, ""}));
}

}  // namespace tarvo
