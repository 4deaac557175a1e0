#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/meter_state.h"
#include "log/commit_listener.h"
#include "publish/influx_target.h"
#include "publish/mqtt_publisher.h"
#include "publish/outbox.h"

namespace tarvo {

// Writes every committed reading to InfluxDB as line protocol with its own
// time. The committing thread only queues a copy; a thread of the writer's
// own posts what waits, oldest first, in batches, and keeps a batch until the
// server took it. A server that is away or refuses is tried again with
// doubling pauses, and what was recorded meanwhile goes out afterwards with
// its original times. A point written twice (an answer lost on the way) is
// the same point again: the server keeps one.
class InfluxWriter final : public CommitListener {
 public:
  static constexpr std::size_t kQueueCapacity = MqttPublisher::kQueueCapacity;
  // What the server's documentation suggests per request.
  static constexpr std::size_t kBatch = 5000;

  InfluxWriter(InfluxTarget target, const MeterState& session, PublisherTiming timing = {},
               std::size_t capacity = kQueueCapacity);
  ~InfluxWriter() override;
  InfluxWriter(const InfluxWriter&) = delete;
  InfluxWriter& operator=(const InfluxWriter&) = delete;

  void reading_committed(const real_Record& record) override;

  // Online once a write succeeded; Offline while the server cannot be
  // reached or fails; Refused while it turns the writes down (4xx).
  BrokerStatus status() const;
  std::vector<BrokerEvent> take_events();

  // Goes on writing what waits for at most grace, then stops. Returns the
  // readings left unwritten; readings committed afterwards are not written.
  std::size_t finish(std::chrono::milliseconds grace);

  const InfluxTarget& target() const { return target_; }
  std::size_t capacity() const { return capacity_; }

 private:
  struct Result {
    bool written = false;
    bool refused = false;
    std::string detail;
  };

  void run();
  std::string take_batch(std::vector<int>& ids);
  Result post_batch(void* curl, const std::string& body);
  void post(BrokerState state, std::string detail);
  bool finishing_done() const;
  bool past_deadline() const;
  void wait_for_work();
  void wait_before_retry(std::chrono::milliseconds pause);
  static int on_progress(void* self, std::int64_t, std::int64_t, std::int64_t, std::int64_t);

  const InfluxTarget target_;
  const std::string write_url_;
  const MeterState& session_;
  const PublisherTiming timing_;
  const std::size_t capacity_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  Outbox outbox_;
  BrokerState state_ = BrokerState::Connecting;
  std::vector<BrokerEvent> events_;
  bool finishing_ = false;
  bool accepting_ = true;
  std::chrono::steady_clock::time_point finish_deadline_;
  int next_id_ = 0;  // the writer's thread only

  std::thread thread_;
};

}  // namespace tarvo
