#pragma once

#include <functional>
#include <string>

#include "alarm/alarm_watch.h"
#include "link/acquisition.h"
#include "log/commit_listener.h"
#include "log/local_time.h"
#include "log/reading_log.h"

namespace tarvo {

// The alarms of an acquisition: each committed reading (test frames aside)
// goes to the watch with its function, unit, number and time, and the clock
// is told of each second so that a silence can become an alarm.
// A silence counts only while an acquisition runs: Stop is no lost meter.
class AlarmFollower final : public CommitListener, public AcquisitionListener {
 public:
  AlarmFollower(const std::string& decimal_separator, std::function<LocalTime()> now)
      : separator_(decimal_separator), now_(std::move(now)) {}

  AlarmWatch& watch() { return watch_; }
  const AlarmWatch& watch() const { return watch_; }

  void reading_committed(const real_Record& record) override;
  // Once a second.
  void tick(const LocalTime& now);

  void acquisition_began() override;
  void meter_lost() override {}
  void meter_back() override {}
  // A silence that was an alarm ends with the acquisition.
  void acquisition_stopped() override;

 private:
  const std::string& separator_;
  const std::function<LocalTime()> now_;
  AlarmWatch watch_;
  bool live_ = false;
};

}  // namespace tarvo
