#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "log/trigger_rule.h"
#include "publish/influx_target.h"
#include "publish/publish_target.h"

namespace tarvo::cli {

struct RecordOptions {
  std::vector<std::string> ports;  // devices to try first, in this order
  std::int64_t interval = 1;       // seconds between readings
  std::optional<std::int64_t> count;
  std::optional<std::int64_t> duration;  // seconds of acquisition
  std::optional<std::filesystem::path> out;
  int language = 0;  // 0: from the environment
  std::string separator = ".";
  bool trace = false;  // the serial traffic on standard error
  // How long a meter that went away is waited for; nullopt for as long as the
  // recording runs, 0 to end at once.
  std::optional<std::int64_t> reconnect_timeout;
  // Limits for the function and unit of the first reading.
  std::optional<double> high, low;
  double hysteresis = 0;                   // how far back past a limit an excursion ends
  double min_duration = 0;                 // seconds; a shorter excursion is no alarm
  double stale = 0;                        // seconds without a reading that make an alarm; 0: none
  bool notify = false;                     // alarms shown by the desktop's notification service
  std::vector<std::string> alarm_command;  // run at each alarm's start and end
  // Conditional recording: the readings go into the log from the first that
  // fulfils start_when, with the pretrigger readings before it.
  std::optional<TriggerCondition> start_when, stop_when;
  std::int64_t pretrigger = 0;
  StopAfter stop_after;
  std::optional<PublishTarget> publish;  // --publish URL
  std::optional<InfluxTarget> influx;    // --influx URL and its database or bucket
  int meters = 1;                        // --meters N: each into its own session of one group
};

// The most meters one run records: each has a letter.
inline constexpr int kMostMeters = 26;

// Throws UsageError for anything the command cannot run with. With
// --config FILE the file's options come first and the command line's
// replace them (all of the file's ports when it names any).
RecordOptions read_record_options(std::vector<std::string> args);

}  // namespace tarvo::cli
