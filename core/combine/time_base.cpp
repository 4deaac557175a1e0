#include "combine/time_base.h"

#include <algorithm>
#include <cstdlib>

#include "log/typed_reading.h"

namespace tarvo {

std::string_view lasting_unit_name(std::string_view unit) {
  static constexpr std::string_view kBaseUnits[] = {"V", "A", "\u03A9", "F", "Hz", "%", "dBm"};
  for (const std::string_view known : kBaseUnits) {
    if (known == unit) return known;
  }
  return {};
}

std::int64_t utc_milliseconds(const LocalTime& t) {
  const std::int64_t days = days_from_civil(t.year, t.month, t.day);
  const std::int64_t minutes =
      days * 1440 + t.hour * 60 + t.minute - static_cast<std::int64_t>(t.utc_offset_minutes);
  return (minutes * 60 + t.second) * 1000 + t.millisecond;
}

void MeterReadingSink::add(real_Record&& record) {
  if (!record.Dated || record.TestFrame) return;
  const DisplayValue main = typed_reading(record, separator_).main;
  MeterReading m;
  m.when = record.DateTime;
  m.utc_ms = utc_milliseconds(record.DateTime);
  m.unit = lasting_unit_name(main.base_unit);
  // A number of a unit the formulas cannot place is left out rather than
  // taken for a plain number.
  if (!m.unit.empty()) m.value = main.base_value;
  m.after_gap = record.AfterGap;
  readings_.push_back(std::move(m));
}

void put_in_time_order(std::vector<MeterReading>& readings) {
  const auto earlier = [](const MeterReading& a, const MeterReading& b) {
    return a.utc_ms < b.utc_ms;
  };
  if (std::is_sorted(readings.begin(), readings.end(), earlier)) return;
  std::stable_sort(readings.begin(), readings.end(), earlier);
}

std::optional<std::size_t> nearest_reading(std::int64_t row_ms,
                                           const std::vector<MeterReading>& readings,
                                           std::int64_t tolerance_ms) {
  const auto after =
      std::lower_bound(readings.begin(), readings.end(), row_ms,
                       [](const MeterReading& r, std::int64_t when) { return r.utc_ms < when; });
  std::optional<std::size_t> best;
  std::int64_t best_distance = tolerance_ms;
  // The one before first, so that it wins a tie.
  if (after != readings.begin() && row_ms - std::prev(after)->utc_ms <= best_distance) {
    best = static_cast<std::size_t>(std::prev(after) - readings.begin());
    best_distance = row_ms - std::prev(after)->utc_ms;
  }
  if (after != readings.end() && after->utc_ms - row_ms <= best_distance &&
      !(best && after->utc_ms - row_ms == best_distance)) {
    best = static_cast<std::size_t>(after - readings.begin());
  }
  return best;
}

}  // namespace tarvo
