#include "recording/recording.h"

#include "alarm/alarm_message.h"
#include "i18n/text_numbers.h"

namespace tarvo {

Recording::Recording(RecordingSetup setup)
    : now_(setup.now),
      trace_(setup.trace_sink, setup.now),
      ports_(std::move(setup.devices), trace_),
      acquisition_(state_, ports_),
      session_keeper_(state_, std::move(setup.session_folder), setup.now),
      statistics_(state_, CommitStage::Statistics, state_.log, state_.DecimalSeparator),
      limits_(state_, CommitStage::Limits, state_.DecimalSeparator),
      alarms_(state_, CommitStage::Limits, state_.DecimalSeparator, std::move(setup.now)) {
  session_keeper_.set_group_file(std::move(setup.group_file));
  acquisition_.add_listener(&session_keeper_);
  acquisition_.add_listener(&*alarms_);
  alarms_->watch().add_sink([this](const AlarmEvent& event) { on_alarm(event); });
}

Recording::~Recording() {
  disarm();
  acquisition_.remove_listener(&*alarms_);
  acquisition_.remove_listener(&session_keeper_);
}

void Recording::set_limits(const Limits& limits, double hysteresis, double min_duration,
                           double stale) {
  limits_->set_limits(limits);
  alarms_->watch().set({limits.key.function,
                        limits.key.unit,
                        {limits.high, limits.low, hysteresis, min_duration},
                        stale});
}

void Recording::set_limits_for_next(std::optional<double> high, std::optional<double> low,
                                    double hysteresis, double min_duration, double stale) {
  limits_->set_limits_for_next(high, low);
  alarms_->watch().set({"", "", {high, low, hysteresis, min_duration}, stale});
}

void Recording::run_on_alarm(std::vector<std::string> argv, std::chrono::milliseconds limit,
                             AlarmCommand::Report report) {
  alarm_command_ = std::make_unique<AlarmCommand>(std::move(argv), limit, std::move(report));
}

void Recording::notify_on_alarm(DesktopNotice::Report report,
                                DesktopNotice::Acknowledged acknowledged) {
  desktop_notice_ = std::make_unique<DesktopNotice>(state_.text(kTextAlarmAcknowledge),
                                                    std::move(report), std::move(acknowledged));
}

// The session file first, as for a reading: what the others are told of is
// on the disk.
void Recording::on_alarm(const AlarmEvent& event) {
  session_keeper_.event(event.start ? SessionEvent::AlarmStart : SessionEvent::AlarmEnd,
                        alarm_session_details(event));
  if (publisher_ && publishing_.active() && publish_alarms_) {
    publisher_->publish_alarm(alarm_message(event));
  }
  if (alarm_command_) alarm_command_->run(alarm_facts(event));
  if (desktop_notice_ && event.start) notify(event);
}

void Recording::notify(const AlarmEvent& e) {
  const int title = e.kind == "high"  ? kTextAlarmHigh
                    : e.kind == "low" ? kTextAlarmLow
                                      : kTextAlarmStale;
  const std::string what =
      e.kind == "stale" ? alarm_number(e.limit) + " s" : alarm_number(e.value) + " " + e.unit;
  std::string body = state_.text(kTextAlarmSince);
  const auto put = [&body](std::string_view mark, const std::string& text) {
    const std::size_t at = body.find(mark);
    if (at != std::string::npos) body.replace(at, mark.size(), text);
  };
  put("%1", what);
  put("%2", format_hhnnss(e.when));
  desktop_notice_->show(e.key, state_.text(title), body);
}

void Recording::arm(const GateRule& rule, std::function<void()> triggered) {
  disarm();
  const std::string condition = condition_text(rule.start);
  gate_ = std::make_unique<CommitGate>(
      rule, state_.DecimalSeparator, [this, condition, told = std::move(triggered)] {
        session_keeper_.event(SessionEvent::Triggered, {condition});
        if (told) told();
      });
  state_.gate = gate_.get();
  gate_->arm(now_());
  session_keeper_.event(SessionEvent::Armed, {condition});
}

void Recording::disarm() {
  state_.gate = nullptr;
  gate_.reset();
}

MqttPublisher& Recording::publish(const PublishTarget& target, const PublisherTiming& timing,
                                  std::size_t capacity) {
  publishing_.cancel();
  publisher_ = std::make_unique<MqttPublisher>(target, state_, timing, capacity);
  publishing_ = state_.commit_listeners.subscribe(CommitStage::Publisher, *publisher_);
  return *publisher_;
}

std::size_t Recording::finish_publishing(std::chrono::milliseconds grace) {
  publishing_.cancel();
  return publisher_ ? publisher_->finish(grace) : 0;
}

InfluxWriter& Recording::write_to_influx(const InfluxTarget& target, const PublisherTiming& timing,
                                         std::size_t capacity) {
  influx_writing_.cancel();
  influx_ = std::make_unique<InfluxWriter>(target, state_, timing, capacity);
  influx_writing_ = state_.commit_listeners.subscribe(CommitStage::Publisher, *influx_);
  return *influx_;
}

std::size_t Recording::finish_influx(std::chrono::milliseconds grace) {
  influx_writing_.cancel();
  return influx_ ? influx_->finish(grace) : 0;
}

}  // namespace tarvo
