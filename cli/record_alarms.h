#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "record_options.h"
#include "recording/recording.h"

namespace tarvo::cli {

// The alarms of tarvo-cli record: each start and end as a line for the error
// stream, and the actions the options ask for (the user's command, the
// desktop's notices). The actions report from threads of their own; their
// lines wait here until the recording's loop takes them.
class RecordAlarms {
 public:
  // How long the user's command may run.
  static constexpr std::chrono::seconds kCommandLimit = kAlarmCommandLimit;

  RecordAlarms(Recording& recording, const RecordOptions& options);
  RecordAlarms(const RecordAlarms&) = delete;
  RecordAlarms& operator=(const RecordAlarms&) = delete;

  std::vector<std::string> take_lines();

 private:
  void add(std::string line);

  std::mutex mutex_;
  std::vector<std::string> lines_;
};

// "alarm: above the high limit 5 V since 14:05:00 (5.0123 V)" and its end.
std::string alarm_line(const AlarmEvent& event);

}  // namespace tarvo::cli
