#include "alarm/alarm_follower.h"

#include "log/reading_value.h"

namespace tarvo {

double epoch_seconds(const LocalTime& t) {
  const std::int64_t days = days_from_civil(t.year, t.month, t.day);
  const std::int64_t seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second -
                               std::int64_t{t.utc_offset_minutes} * 60;
  return static_cast<double>(seconds) + t.millisecond / 1000.0;
}

void AlarmFollower::reading_committed(const real_Record& record) {
  if (record.TestFrame) return;
  const RunFields run = run_fields(record.Main_Range.view());
  const AlarmSample sample{epoch_seconds(record.DateTime), main_value(record, separator_),
                           overload_sign(record)};
  watch_.reading(std::string(run.function), std::string(run.unit), sample, record.DateTime);
}

void AlarmFollower::tick(const LocalTime& now) {
  if (live_) watch_.tick(epoch_seconds(now), now);
}

void AlarmFollower::acquisition_stopped() {
  live_ = false;
  const LocalTime now = now_();
  watch_.end_silence(epoch_seconds(now), now);
}

void AlarmFollower::acquisition_began() {
  live_ = true;
  watch_.restart_silence();
}

}  // namespace tarvo
