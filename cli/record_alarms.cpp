#include "record_alarms.h"

#include <cmath>

namespace tarvo::cli {

std::string alarm_line(const AlarmEvent& e) {
  if (e.kind == "stale") {
    if (e.start) {
      return "alarm: no reading for " + alarm_number(e.limit) + " s (the last at " +
             format_hhnnss(e.when) + ")";
    }
    return "alarm over: a reading again after " + alarm_number(e.value) + " s";
  }
  const std::string side = e.kind == "high" ? "above the high limit " : "below the low limit ";
  const std::string limit = alarm_number(e.limit) + " " + e.unit;
  const std::string value = alarm_number(e.value) + " " + e.unit;
  if (e.start) {
    return "alarm: " + side + limit + " since " + format_hhnnss(e.when) + " (" + value + ")";
  }
  return "alarm over: " + side + limit + ", the extreme " + value + " at " + format_hhnnss(e.when);
}

RecordAlarms::RecordAlarms(Recording& recording, const RecordOptions& o) {
  recording.alarms().watch().add_sink([this](const AlarmEvent& e) { add(alarm_line(e)); });
  const auto report = [this](const std::string& line) { add(line); };
  if (!o.alarm_command.empty()) recording.run_on_alarm(o.alarm_command, kCommandLimit, report);
  if (o.notify) {
    recording.notify_on_alarm(report, [this](std::uint64_t key) {
      add("alarm " + std::to_string(key) + " acknowledged on the desktop");
    });
  }
}

void RecordAlarms::add(std::string line) {
  const std::lock_guard lock(mutex_);
  lines_.push_back(std::move(line));
}

std::vector<std::string> RecordAlarms::take_lines() {
  const std::lock_guard lock(mutex_);
  std::vector<std::string> lines;
  lines.swap(lines_);
  return lines;
}

}  // namespace tarvo::cli
