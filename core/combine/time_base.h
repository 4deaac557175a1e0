#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/local_time.h"
#include "log/reading_log.h"

namespace tarvo {

// One meter's reading placed on a common time base.
struct MeterReading {
  LocalTime when;
  std::int64_t utc_ms = 0;      // milliseconds since 1970 UTC: comparable across zones
  std::optional<double> value;  // in the base unit; none for an overload or no number
  std::string text;             // value as exact decimal text with "."
  std::string unit;             // the base unit ("V", "A", "Ω", ...); empty when unknown
  bool after_gap = false;
};

std::int64_t utc_milliseconds(const LocalTime& t);

// The dated readings of a session in time order (a clock set back leaves the
// file's order, the time base does not). Test frames are left out: they are
// no measurement.
std::vector<MeterReading> meter_readings(const std::vector<real_Record>& records,
                                         std::string_view decimal_separator);

// For each row's time, the reading nearest to it when no farther than
// tolerance_ms (the earlier of two equally near); none where no reading is that
// close, so a meter that was away leaves its rows empty instead of repeating
// its last value. readings are in time order.
std::vector<std::optional<std::size_t>> align_readings(const std::vector<std::int64_t>& row_ms,
                                                       const std::vector<MeterReading>& readings,
                                                       std::int64_t tolerance_ms);

}  // namespace tarvo
