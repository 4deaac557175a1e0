#include "alarm/alarm_follower.h"

#include "log/reading_value.h"

namespace tarvo {

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
