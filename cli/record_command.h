#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "link/polling_cycle.h"
#include "link/port_discovery.h"
#include "publish/mqtt_publisher.h"

namespace tarvo::cli {

// What the recording takes from the world outside. The real one sleeps and
// listens for signals; tests pass clocks of their own.
struct RecordEnvironment {
  using Clock = std::chrono::steady_clock;

  DiscoveryRoots roots;
  std::function<Clock::time_point()> steady_now;
  // Returns at the deadline, or earlier once a stop was requested.
  std::function<void(Clock::time_point)> sleep_until;
  std::function<bool()> stop_requested;
  LocalClock local_now;
  bool progress = false;                  // a progress line on the error stream
  std::filesystem::path session_folder;   // where the session file is written
  std::filesystem::path group_file = {};  // shared with side-by-side recorders; empty: none
  // Where notes are typed, a line each (standard input); -1 for none.
  int note_input = -1;
  PublisherTiming publish_timing;  // the broker's and InfluxDB's retry pauses
  std::size_t publish_capacity = MqttPublisher::kQueueCapacity;  // readings kept for each
};

// Real clocks, SIGINT/SIGTERM/SIGHUP handlers, SIGPIPE ignored (a closed output
// stops the printing, not the recording), progress when standard error is a
// terminal.
RecordEnvironment system_record_environment();

// tarvo-cli record [--port PATH]... [--interval SECONDS] [--count N | --duration SECONDS]
//                  [--out FILE.txt] [--language N] [--decimal-separator SEP] [--trace]
//                  [--reconnect-timeout SECONDS] [--high X] [--low Y]
//                  [--publish mqtt://[user@]host[:port]/prefix [--password-file FILE]
//                   [--discovery]]
//                  [--influx URL (--influx-db NAME | --influx-org ORG --influx-bucket B
//                   [--influx-token-file FILE])]
// Finds the meter as Start does, then records until the count or the duration
// is reached or a stop is requested, and saves the log however it ends. Every
// reading is in a session file as it is logged, and with --publish it also
// goes to the broker, with --influx to InfluxDB. A meter that goes away is waited for (at most the
// reconnect timeout). Returns the exit status: 0 done, 1 the log could not be
// saved, the recording failed or readings were left undelivered to the
// broker or InfluxDB, 2 bad arguments, 3 no meter found, 4 meter disconnected and not
// back in time, 5 readings were dropped from the broker's or InfluxDB's full
// queue (the log and the session file still hold them).
int run_record(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int run_record(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const RecordEnvironment& env);

}  // namespace tarvo::cli
