#include "recording/recording.h"

namespace tarvo {

Recording::Recording(RecordingSetup setup)
    : trace_(setup.trace_sink, setup.now),
      ports_(std::move(setup.devices), trace_),
      acquisition_(state_, ports_),
      session_keeper_(state_, std::move(setup.session_folder), std::move(setup.now)),
      statistics_(state_, CommitStage::Statistics, state_.log, state_.DecimalSeparator),
      limits_(state_, CommitStage::Limits, state_.DecimalSeparator) {
  session_keeper_.set_group_file(std::move(setup.group_file));
  acquisition_.add_listener(&session_keeper_);
  limits_->add_sink([this](const real_Record&, LimitBreach breach) {
    session_keeper_.outside_limits(breach_name(breach));
  });
}

Recording::~Recording() {
  acquisition_.remove_listener(&session_keeper_);
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
