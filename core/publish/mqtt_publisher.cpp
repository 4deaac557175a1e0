// libmosquitto, driven by our own thread with mosquitto_loop so that every
// call on a handle comes from that one thread. Each connection gets a fresh
// handle: the library then holds no messages of its own across a reconnect,
// and the outbox alone decides what is sent again.
#include "publish/mqtt_publisher.h"

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>

#include "publish/discovery_message.h"
#include "publish/reading_message.h"

namespace tarvo {
namespace {

constexpr int kLoopMs = 50;               // how soon a new reading goes out
constexpr std::size_t kInFlight = 20;     // the library's own default window
constexpr std::size_t kMostEvents = 256;  // kept for a reader that seldom looks
constexpr auto kGoodbyeWait = std::chrono::seconds(1);
constexpr const char* kSystemCertificates = "/etc/ssl/certs";
constexpr std::string_view kOnline = "online";
constexpr std::string_view kOffline = "offline";

void init_library() {
  static std::once_flag once;
  std::call_once(once, [] {
    mosquitto_lib_init();
    // A broker that goes away mid-write must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
  });
}

struct HandleDeleter {
  void operator()(mosquitto* m) const { mosquitto_destroy(m); }
};
using Handle = std::unique_ptr<mosquitto, HandleDeleter>;

std::string error_text(int rc) {
  if (rc == MOSQ_ERR_ERRNO) return std::strerror(errno);
  return mosquitto_strerror(rc);
}

std::string pause_text(std::chrono::milliseconds pause) {
  const auto ms = pause.count();
  if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
  return std::to_string(ms) + " ms";
}

int publish_text(mosquitto* m, int* id, const std::string& topic, std::string_view text,
                 bool retain) {
  return mosquitto_publish(m, id, topic.c_str(), static_cast<int>(text.size()), text.data(), 1,
                           retain);
}

}  // namespace

MqttPublisher::MqttPublisher(PublishTarget target, const MeterState& meter, PublisherTiming timing,
                             std::size_t capacity)
    : target_(std::move(target)),
      reading_topic_(target_.reading_topic()),
      status_topic_(target_.status_topic()),
      discovery_topic_(target_.discovery ? discovery_message(target_.prefix, {}).topic : ""),
      meter_(meter),
      timing_(timing),
      capacity_(capacity),
      outbox_(capacity) {
  init_library();
  thread_ = std::thread([this] { run(); });
}

MqttPublisher::~MqttPublisher() {
  finish(std::chrono::milliseconds(0));
}

// The copies are made before the lock, so the publisher's thread holds the
// committing thread up for no more than a queue operation.
// A typed test frame is no reading of the meter: subscribers never see it.
void MqttPublisher::reading_committed(const real_Record& record) {
  if (record.TestFrame) return;
  OutgoingReading reading{record, meter_.model, meter_.ActivePort, meter_.DecimalSeparator};
  {
    const std::lock_guard lock(mutex_);
    if (accepting_) outbox_.push(std::move(reading));
  }
  wake_.notify_all();  // a pause between tries is shortened for it
}

BrokerStatus MqttPublisher::status() const {
  const std::lock_guard lock(mutex_);
  return {state_, outbox_.waiting(), outbox_.dropped(), outbox_.delivered()};
}

std::vector<BrokerEvent> MqttPublisher::take_events() {
  const std::lock_guard lock(mutex_);
  std::vector<BrokerEvent> events;
  events.swap(events_);
  return events;
}

std::size_t MqttPublisher::finish(std::chrono::milliseconds grace) {
  {
    const std::lock_guard lock(mutex_);
    if (accepting_) {
      accepting_ = false;
      finishing_ = true;
      finish_deadline_ = std::chrono::steady_clock::now() + grace;
    }
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  const std::lock_guard lock(mutex_);
  return outbox_.waiting();
}

void MqttPublisher::post(BrokerState state, std::string detail) {
  const std::lock_guard lock(mutex_);
  state_ = state;
  events_.push_back({state, std::move(detail)});
  if (events_.size() > kMostEvents) events_.erase(events_.begin());
}

bool MqttPublisher::finishing_done() const {
  const std::lock_guard lock(mutex_);
  return finishing_ && ((outbox_.waiting() == 0 && alarms_.empty()) ||
                        std::chrono::steady_clock::now() >= finish_deadline_);
}

void MqttPublisher::run() {
  std::chrono::milliseconds pause = timing_.first_retry;
  for (;;) {
    const bool lasted = serve_connection();
    {
      const std::lock_guard lock(mutex_);
      outbox_.connection_lost();
    }
    if (finishing_done()) break;
    if (lasted) pause = timing_.first_retry;
    std::chrono::milliseconds next_try = pause;
    {
      const std::lock_guard lock(mutex_);
      if (outbox_.waiting() > 0) next_try = std::min(pause, timing_.longest_retry_while_waiting);
    }
    post(refused_ ? BrokerState::Refused : BrokerState::Offline,
         failure_ + "; next try in " + pause_text(next_try));
    wait_before_retry(pause);
    if (finishing_done()) break;
    pause = std::min(pause * 2, timing_.longest_retry);
  }
  post(BrokerState::Stopped, {});
}

// A finish that begins during the pause shortens it to the finish's deadline.
// Readings that wait never sit out a long pause: the broker is tried again
// within longest_retry_while_waiting, so they go out soon after it is back.
void MqttPublisher::wait_before_retry(std::chrono::milliseconds pause) {
  std::unique_lock lock(mutex_);
  const bool was_finishing = finishing_;
  const auto start = std::chrono::steady_clock::now();
  auto until = start + pause;
  if (was_finishing) until = std::min(until, finish_deadline_);
  const auto soon = std::min(until, start + timing_.longest_retry_while_waiting);
  const auto end = [&] { return outbox_.waiting() > 0 ? soon : until; };
  while (finishing_ == was_finishing && std::chrono::steady_clock::now() < end()) {
    wake_.wait_until(lock, end());
  }
  if (!was_finishing && finishing_) {
    wake_.wait_until(lock, std::min(until, finish_deadline_), [] { return false; });
  }
}

bool MqttPublisher::configure(mosquitto* m) {
  mosquitto_connect_callback_set(m, &MqttPublisher::on_connect);
  mosquitto_disconnect_callback_set(m, &MqttPublisher::on_disconnect);
  mosquitto_publish_callback_set(m, &MqttPublisher::on_publish);
  mosquitto_message_callback_set(m, &MqttPublisher::on_message);
  int rc = mosquitto_int_option(m, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  if (rc == MOSQ_ERR_SUCCESS && target_.user) {
    rc = mosquitto_username_pw_set(m, target_.user->c_str(),
                                   target_.password ? target_.password->c_str() : nullptr);
  }
  if (rc == MOSQ_ERR_SUCCESS) {
    rc = mosquitto_will_set(m, status_topic_.c_str(), static_cast<int>(kOffline.size()),
                            kOffline.data(), 1, true);
  }
  if (rc == MOSQ_ERR_SUCCESS && target_.tls) {
    std::error_code ignored;
    rc = std::filesystem::is_directory(kSystemCertificates, ignored)
             ? mosquitto_tls_set(m, nullptr, kSystemCertificates, nullptr, nullptr, nullptr)
             : mosquitto_int_option(m, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
  }
  if (rc != MOSQ_ERR_SUCCESS) failure_ = error_text(rc);
  return rc == MOSQ_ERR_SUCCESS;
}

bool MqttPublisher::serve_connection() {
  online_ = false;
  reached_online_ = false;
  refused_ = false;
  connection_over_ = false;
  failure_.clear();
  goodbye_id_ = -1;
  goodbye_acknowledged_ = false;
  const Handle m(mosquitto_new(nullptr, true, this));
  if (!m) {
    failure_ = "not enough memory";
    return false;
  }
  if (!configure(m.get())) return false;
  post(BrokerState::Connecting, target_.endpoint());
  int rc = mosquitto_connect_async(m.get(), target_.host.c_str(), target_.port,
                                   timing_.keepalive_seconds);
  if (rc != MOSQ_ERR_SUCCESS) {
    failure_ = error_text(rc);
    return false;
  }
  for (;;) {
    rc = mosquitto_loop(m.get(), kLoopMs, 1);
    if (connection_over_) break;
    if (rc != MOSQ_ERR_SUCCESS) {
      failure_ = error_text(rc);
      break;
    }
    if (online_) {
      announce_again(m.get());
      send_waiting(m.get());
      send_alarms(m.get());
    }
    if (finishing_done()) {
      if (online_) say_goodbye(m.get());
      break;
    }
  }
  return reached_online_ &&
         std::chrono::steady_clock::now() - online_at_ >= timing_.lasting_connection;
}

void MqttPublisher::send_waiting(mosquitto* m) {
  for (;;) {
    OutgoingReading reading;
    std::uint64_t number = 0;
    {
      const std::lock_guard lock(mutex_);
      if (outbox_.in_flight() >= kInFlight) return;
      const OutgoingReading* next = outbox_.next_unsent(number);
      if (next == nullptr) return;
      reading = *next;
    }
    if (target_.discovery && !announce(m, reading)) return;
    const std::string message = reading_message(reading);
    int id = 0;
    // A failure here is the connection's; the loop finds out what broke.
    if (publish_text(m, &id, reading_topic_, message, false) != MOSQ_ERR_SUCCESS) return;
    const std::lock_guard lock(mutex_);
    outbox_.mark_sent(number, id);
  }
}

void MqttPublisher::publish_alarm(std::string json) {
  {
    const std::lock_guard lock(mutex_);
    if (!accepting_) return;
    if (alarms_.size() >= kAlarmsKept) alarms_.pop_front();
    alarms_.push_back(std::move(json));
  }
  wake_.notify_all();
}

void MqttPublisher::send_alarms(mosquitto* m) {
  const std::string topic = target_.prefix + "/alarm";
  for (;;) {
    std::string message;
    {
      const std::lock_guard lock(mutex_);
      if (alarms_.empty()) return;
      message = std::move(alarms_.front());
      alarms_.pop_front();
    }
    int id = 0;
    if (publish_text(m, &id, topic, message, false) != MOSQ_ERR_SUCCESS) {
      const std::lock_guard lock(mutex_);
      alarms_.push_front(std::move(message));  // tried again on the next connection
      return;
    }
  }
}

// The retained config goes out before the reading it describes: on one
// connection at QoS 1 the broker passes both on in this order.
bool MqttPublisher::announce(mosquitto* m, const OutgoingReading& reading) {
  DiscoveryMessage config = discovery_message(target_.prefix, reading);
  if (config.payload == announced_) return true;
  if (publish_text(m, nullptr, config.topic, config.payload, true) != MOSQ_ERR_SUCCESS)
    return false;
  announced_ = config.payload;
  last_config_ = std::move(config.payload);
  announce_again_ = false;  // what Home Assistant asked for has just gone out
  return true;
}

// A Home Assistant that started after the last announcement may have lost
// it (a broker without persistence forgets retained messages too).
void MqttPublisher::announce_again(mosquitto* m) {
  if (!announce_again_ || last_config_.empty()) return;
  if (publish_text(m, nullptr, discovery_topic_, last_config_, true) != MOSQ_ERR_SUCCESS) return;
  announced_ = last_config_;
  announce_again_ = false;
}

void MqttPublisher::say_goodbye(mosquitto* m) {
  int id = 0;
  if (publish_text(m, &id, status_topic_, kOffline, true) == MOSQ_ERR_SUCCESS) {
    goodbye_id_ = id;
    const auto deadline = std::chrono::steady_clock::now() + kGoodbyeWait;
    while (!goodbye_acknowledged_ && !connection_over_ &&
           std::chrono::steady_clock::now() < deadline) {
      if (mosquitto_loop(m, kLoopMs, 1) != MOSQ_ERR_SUCCESS) break;
    }
  }
  mosquitto_disconnect(m);
  failure_ = "stopped";
}

void MqttPublisher::on_connect(mosquitto* m, void* self, int rc) {
  auto* p = static_cast<MqttPublisher*>(self);
  if (rc != 0) {
    p->refused_ = true;
    p->connection_over_ = true;
    p->failure_ = mosquitto_connack_string(rc);
    return;
  }
  p->online_ = true;
  p->reached_online_ = true;
  p->online_at_ = std::chrono::steady_clock::now();
  p->post(BrokerState::Online, p->target_.endpoint());
  publish_text(m, nullptr, p->status_topic_, kOnline, true);
  if (p->target_.discovery) {
    p->announced_.clear();
    p->announce_again_ = !p->last_config_.empty();
    mosquitto_subscribe(m, nullptr, std::string(kHomeAssistantStatusTopic).c_str(), 1);
  }
}

void MqttPublisher::on_disconnect(mosquitto*, void* self, int rc) {
  auto* p = static_cast<MqttPublisher*>(self);
  p->connection_over_ = true;
  p->online_ = false;
  if (!p->failure_.empty()) return;
  if (rc == MOSQ_ERR_KEEPALIVE) {
    p->failure_ = "the broker did not answer";
  } else {
    p->failure_ = rc == 0 ? "disconnected" : "connection lost (" + error_text(rc) + ")";
  }
}

void MqttPublisher::on_publish(mosquitto*, void* self, int message_id) {
  auto* p = static_cast<MqttPublisher*>(self);
  if (message_id == p->goodbye_id_) {
    p->goodbye_acknowledged_ = true;
    return;
  }
  const std::lock_guard lock(p->mutex_);
  p->outbox_.acknowledged(message_id);
}

void MqttPublisher::on_message(mosquitto*, void* self, const mosquitto_message* message) {
  auto* p = static_cast<MqttPublisher*>(self);
  const std::string_view payload(static_cast<const char*>(message->payload),
                                 static_cast<std::size_t>(std::max(message->payloadlen, 0)));
  if (kHomeAssistantStatusTopic == message->topic && payload == kOnline) p->announce_again_ = true;
}

}  // namespace tarvo
