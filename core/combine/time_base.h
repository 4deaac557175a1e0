#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/record_sink.h"
#include "log/local_time.h"
#include "log/reading_log.h"
#include "log/record_time.h"

namespace tarvo {

// One meter's reading placed on a common time base: what is kept of each
// reading of a session while sessions are combined, so it is kept small.
struct MeterReading {
  RecordTime when;
  std::int64_t utc_ms = 0;      // milliseconds since 1970 UTC: comparable across zones
  std::optional<double> value;  // in the base unit; none for an overload or no number
  std::string_view unit;        // the base unit ("V", "A", "Ω", ...), of a static table
  bool after_gap = false;
};

// The base unit's name as a view into a table that lives as long as the
// program; empty for a unit the table does not know.
std::string_view lasting_unit_name(std::string_view unit);

std::int64_t utc_milliseconds(const LocalTime& t);

// Takes the dated readings of a session as they are read, so the records are
// never held as well. Test frames are left out: they are no measurement.
class MeterReadingSink final : public RecordSink {
 public:
  MeterReadingSink(std::vector<MeterReading>& readings, std::string_view decimal_separator)
      : readings_(readings), separator_(decimal_separator) {}
  void clear() override { readings_.clear(); }
  void add(real_Record&& record) override;
  std::int64_t count() const override { return static_cast<std::int64_t>(readings_.size()); }

 private:
  std::vector<MeterReading>& readings_;
  std::string separator_;
};

// Readings in time order: a clock set back leaves the file's order, the time
// base does not.
void put_in_time_order(std::vector<MeterReading>& readings);

// The reading nearest to a row's time when no farther than tolerance_ms (the
// earlier of two equally near); none where no reading is that close, so a
// meter that was away leaves its rows empty instead of repeating its last
// value. readings are in time order.
std::optional<std::size_t> nearest_reading(std::int64_t row_ms,
                                           const std::vector<MeterReading>& readings,
                                           std::int64_t tolerance_ms);

}  // namespace tarvo
