#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/meter_state.h"
#include "log/commit_listener.h"
#include "publish/outbox.h"
#include "publish/publish_target.h"

struct mosquitto;
struct mosquitto_message;

namespace tarvo {

enum class BrokerState {
  Connecting,  // the connection is being made
  Online,      // connected: readings go out as they come
  Offline,     // no connection; tried again after a pause
  Refused,     // the broker turned the login down; tried again after a pause
  Stopped,     // finish() ended the publishing
};

struct BrokerStatus {
  BrokerState state = BrokerState::Connecting;
  std::size_t waiting = 0;      // readings not yet acknowledged by the broker
  std::uint64_t dropped = 0;    // readings lost because the queue was full
  std::uint64_t delivered = 0;  // readings the broker acknowledged
};

// A change of state, in the order they happened. detail is plain English for
// the trace: the broker's address, the reason of a failure, the next try.
struct BrokerEvent {
  BrokerState state;
  std::string detail;
};

struct PublisherTiming {
  std::chrono::milliseconds first_retry{1000};
  std::chrono::milliseconds longest_retry{60000};
  int keepalive_seconds = 30;  // also how long a silent broker is waited for
  // While readings wait, the broker is tried again at least this often.
  std::chrono::milliseconds longest_retry_while_waiting{3000};
  // A connection that held this long counts as a working broker, and the next
  // pause starts again from first_retry; one that a broker closes sooner keeps
  // the pauses doubling, so a broker that accepts and hangs up at once is not
  // hammered every second.
  std::chrono::milliseconds lasting_connection{10000};
};

// Publishes every committed reading once, at QoS 1, on the target's reading
// topic, and keeps the status topic at "online" (retained; "offline" is the
// last will and the goodbye). With discovery, each reading's Home Assistant
// sensor config goes out (retained) before it whenever it differs from the
// last one sent on the connection, and again when Home Assistant says it is
// online. The committing thread only queues a copy of the
// record; a thread of the publisher's own talks to the broker, reconnects
// with doubling pauses and sends what waited, in order. Nothing it does ever
// waits on the network in the committing thread.
class MqttPublisher final : public CommitListener {
 public:
  // A day of readings at one a second.
  static constexpr std::size_t kQueueCapacity = 86400;

  // meter is read on the committing thread only, in reading_committed.
  MqttPublisher(PublishTarget target, const MeterState& meter, PublisherTiming timing = {},
                std::size_t capacity = kQueueCapacity);
  ~MqttPublisher() override;
  MqttPublisher(const MqttPublisher&) = delete;
  MqttPublisher& operator=(const MqttPublisher&) = delete;

  void reading_committed(const real_Record& record) override;
  // A JSON message for PREFIX/alarm, sent at QoS 1 as soon as the broker is
  // reached; while it is away the newest kAlarmsKept wait.
  void publish_alarm(std::string json);
  static constexpr std::size_t kAlarmsKept = 256;

  BrokerStatus status() const;
  // The state changes since the last call; the oldest are dropped past 256.
  std::vector<BrokerEvent> take_events();

  // Goes on delivering what waits for at most grace while the broker takes
  // it, says "offline" and disconnects. Returns the readings left undelivered.
  // Readings committed afterwards are not published.
  std::size_t finish(std::chrono::milliseconds grace);

  const PublishTarget& target() const { return target_; }
  std::size_t capacity() const { return capacity_; }

 private:
  void run();
  bool serve_connection();  // true when it was online for lasting_connection
  bool configure(mosquitto* m);
  void send_waiting(mosquitto* m);
  void send_alarms(mosquitto* m);
  bool announce(mosquitto* m, const OutgoingReading& reading);
  void announce_again(mosquitto* m);
  void say_goodbye(mosquitto* m);
  bool finishing_done() const;
  void post(BrokerState state, std::string detail);
  void wait_before_retry(std::chrono::milliseconds pause);

  static void on_connect(mosquitto* m, void* self, int rc);
  static void on_disconnect(mosquitto* m, void* self, int rc);
  static void on_publish(mosquitto* m, void* self, int message_id);
  static void on_message(mosquitto* m, void* self, const mosquitto_message* message);

  const PublishTarget target_;
  const std::string reading_topic_;
  const std::string status_topic_;
  const std::string discovery_topic_;  // empty without discovery
  const MeterState& meter_;
  const PublisherTiming timing_;
  const std::size_t capacity_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  Outbox outbox_;
  BrokerState state_ = BrokerState::Connecting;
  std::vector<BrokerEvent> events_;
  std::deque<std::string> alarms_;
  bool finishing_ = false;
  bool accepting_ = true;
  std::chrono::steady_clock::time_point finish_deadline_;

  // Touched by the publisher's thread only.
  bool online_ = false;
  bool reached_online_ = false;
  std::chrono::steady_clock::time_point online_at_;
  bool refused_ = false;
  bool connection_over_ = false;
  std::string failure_;
  int goodbye_id_ = -1;
  bool goodbye_acknowledged_ = false;
  std::string announced_;    // the sensor's config as sent on this connection
  std::string last_config_;  // the newest config sent on any connection
  bool announce_again_ = false;

  std::thread thread_;
};

}  // namespace tarvo
