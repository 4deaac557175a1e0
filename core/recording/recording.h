#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>

#include "alarm/alarm_command.h"
#include "alarm/alarm_follower.h"
#include "alarm/desktop_notice.h"
#include "files/session_keeper.h"
#include "link/acquisition.h"
#include "link/commit_gate.h"
#include "link/debug_trace.h"
#include "link/meter_state.h"
#include "link/serial_device.h"
#include "link/serial_ports.h"
#include "log/commit_listeners.h"
#include "log/limits.h"
#include "log/local_time.h"
#include "log/statistics.h"
#include "publish/influx_writer.h"
#include "publish/mqtt_publisher.h"

namespace tarvo {

// A part that follows the commits from its construction to its destruction,
// at its stage of the commit order.
template <typename Part>
class Following {
 public:
  template <typename... Args>
  Following(MeterState& s, CommitStage stage, Args&&... args)
      : part_(std::forward<Args>(args)...),
        subscription_(s.commit_listeners.subscribe(stage, part_)) {}

  Part& operator*() { return part_; }
  Part* operator->() { return &part_; }

 private:
  Part part_;
  CommitSubscription subscription_;
};

// What differs between the window and tarvo-cli record: the devices, where
// the port lines go, the clock of the trace and the session file, and the
// folder of the session files (empty: none kept).
struct RecordingSetup {
  std::unique_ptr<SerialDevices> devices;
  DebugTrace& trace_sink;
  std::function<LocalTime()> now = now_local;
  std::filesystem::path session_folder;
  // The group file the sessions of side-by-side recorders share; empty: none.
  std::filesystem::path group_file = {};
};

// Everything an acquisition drives, built and wired once, for the window and
// for tarvo-cli record alike; each caller still brings its own waits, clock,
// trace and options, and drives the acquisition itself.
//
// A commit is told in the order of CommitStage, whatever the order in which
// the parts below are made: the session file, the statistics, the limits,
// the publisher, then the views (which subscribe at CommitStage::Views). A new
// follower of the commits is one Following member here. The session keeper
// takes its place only while an acquisition of this run writes its file.
class Recording {
 public:
  explicit Recording(RecordingSetup setup);
  ~Recording();
  Recording(const Recording&) = delete;
  Recording& operator=(const Recording&) = delete;

  MeterState& state() { return state_; }
  const MeterState& state() const { return state_; }
  PortTrace& trace() { return trace_; }
  SerialPorts& ports() { return ports_; }
  Acquisition& acquisition() { return acquisition_; }
  const Acquisition& acquisition() const { return acquisition_; }
  SessionKeeper& session_keeper() { return session_keeper_; }
  StatisticsFollower& statistics() { return *statistics_; }
  LimitWatch& limits() { return *limits_; }
  AlarmFollower& alarms() { return *alarms_; }

  // The limits of the readings: the limit watch marks each reading outside
  // them, the alarms make one event of each excursion (with its hysteresis
  // and minimum duration) and of a silence longer than `stale` seconds.
  void set_limits(const Limits& limits, double hysteresis = 0, double min_duration = 0,
                  double stale = 0);
  // Limits for the function and unit of the next reading (the command line's).
  void set_limits_for_next(std::optional<double> high, std::optional<double> low,
                           double hysteresis = 0, double min_duration = 0, double stale = 0);
  // Each alarm's start and end also runs the user's command (argv, no shell).
  void run_on_alarm(std::vector<std::string> argv, std::chrono::milliseconds limit,
                    AlarmCommand::Report report);
  // Each alarm's start is shown by the desktop's notification service; texts
  // in the current language at the moment of the alarm.
  void notify_on_alarm(DesktopNotice::Report report, DesktopNotice::Acknowledged acknowledged);
  // No more notices (the user muted the alarm); those shown stay.
  void stop_notifying() { desktop_notice_.reset(); }
  // No more commands; waits for one that runs (at most its time limit).
  void stop_running_on_alarm() { alarm_command_.reset(); }
  // Whether each alarm goes to the broker too while publishing (it does
  // unless told otherwise).
  void publish_alarms(bool on) { publish_alarms_ = on; }
  // Conditional recording: from now on the readings wait at a gate, the
  // newest `pretrigger` of them held, until the rule's condition; then they
  // and every later one go into the log until the rule's stop. The session
  // tells the arming and the trigger; `triggered` is told after the session.
  // Arm after Start, while the session file is written.
  void arm(const GateRule& rule, std::function<void()> triggered = {});
  // Every reading goes into the log again; the held ones are dropped.
  void disarm();
  // The gate while armed or after; none without conditional recording.
  const CommitGate* gate() const { return gate_.get(); }
  // The rule's stop came: the recording is over.
  bool gate_done() const { return gate_ && gate_->state() == GateState::Done; }

  // Once a second, while the program runs: a silence becomes an alarm.
  void tick(const LocalTime& now) { alarms_->tick(now); }

  // Every reading committed from now on goes to the broker too.
  MqttPublisher& publish(const PublishTarget& target, const PublisherTiming& timing = {},
                         std::size_t capacity = MqttPublisher::kQueueCapacity);
  // The publisher, while or after it published; none before publish().
  MqttPublisher* publisher() { return publisher_.get(); }
  // No later commit is published; what waits is delivered for at most grace.
  // Returns the readings left undelivered.
  std::size_t finish_publishing(std::chrono::milliseconds grace);

  // Every reading committed from now on is written to InfluxDB too.
  InfluxWriter& write_to_influx(const InfluxTarget& target, const PublisherTiming& timing = {},
                                std::size_t capacity = InfluxWriter::kQueueCapacity);
  InfluxWriter* influx_writer() { return influx_.get(); }
  // As finish_publishing, for InfluxDB.
  std::size_t finish_influx(std::chrono::milliseconds grace);

 private:
  std::function<LocalTime()> now_;
  MeterState state_;
  PortTrace trace_;
  SerialPorts ports_;
  Acquisition acquisition_;
  SessionKeeper session_keeper_;
  Following<StatisticsFollower> statistics_;
  Following<LimitWatch> limits_;
  std::unique_ptr<MqttPublisher> publisher_;
  CommitSubscription publishing_;
  std::unique_ptr<InfluxWriter> influx_;
  CommitSubscription influx_writing_;
  Following<AlarmFollower> alarms_;
  std::unique_ptr<AlarmCommand> alarm_command_;
  bool publish_alarms_ = true;
  std::unique_ptr<DesktopNotice> desktop_notice_;
  std::unique_ptr<CommitGate> gate_;

  void on_alarm(const AlarmEvent& event);
  void notify(const AlarmEvent& event);
};

}  // namespace tarvo
