#include "combine/time_base.h"

#include <algorithm>
#include <cstdlib>

#include "log/typed_reading.h"

namespace tarvo {

std::int64_t utc_milliseconds(const LocalTime& t) {
  const std::int64_t days = days_from_civil(t.year, t.month, t.day);
  const std::int64_t minutes =
      days * 1440 + t.hour * 60 + t.minute - static_cast<std::int64_t>(t.utc_offset_minutes);
  return (minutes * 60 + t.second) * 1000 + t.millisecond;
}

std::vector<MeterReading> meter_readings(const std::vector<real_Record>& records,
                                         std::string_view decimal_separator) {
  std::vector<MeterReading> readings;
  readings.reserve(records.size());
  for (const real_Record& r : records) {
    if (!r.Dated || r.TestFrame) continue;
    const DisplayValue main = typed_reading(r, decimal_separator).main;
    MeterReading m;
    m.when = r.DateTime;
    m.utc_ms = utc_milliseconds(m.when);
    m.value = main.base_value;
    m.text = main.base_text;
    m.unit = main.base_unit;
    m.after_gap = r.AfterGap;
    readings.push_back(std::move(m));
  }
  std::stable_sort(
      readings.begin(), readings.end(),
      [](const MeterReading& a, const MeterReading& b) { return a.utc_ms < b.utc_ms; });
  return readings;
}

std::vector<std::optional<std::size_t>> align_readings(const std::vector<std::int64_t>& row_ms,
                                                       const std::vector<MeterReading>& readings,
                                                       std::int64_t tolerance_ms) {
  std::vector<std::optional<std::size_t>> matched;
  matched.reserve(row_ms.size());
  for (const std::int64_t t : row_ms) {
    const auto after =
        std::lower_bound(readings.begin(), readings.end(), t,
                         [](const MeterReading& r, std::int64_t when) { return r.utc_ms < when; });
    std::optional<std::size_t> best;
    std::int64_t best_distance = tolerance_ms;
    // The one before first, so that it wins a tie.
    if (after != readings.begin() && t - std::prev(after)->utc_ms <= best_distance) {
      best = static_cast<std::size_t>(std::prev(after) - readings.begin());
      best_distance = t - std::prev(after)->utc_ms;
    }
    if (after != readings.end() && after->utc_ms - t <= best_distance &&
        !(best && after->utc_ms - t == best_distance)) {
      best = static_cast<std::size_t>(after - readings.begin());
    }
    matched.push_back(best);
  }
  return matched;
}

}  // namespace tarvo
