#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace tarvo::testing {

// A real mosquitto broker of the test's own, listening on a free port of
// 127.0.0.1 and nowhere else, with its state kept in a folder of its own so
// that a subscriber's session outlives a restart. Ended by its PID only.
class TestBroker {
 public:
  // Whether the broker program is installed; the tests skip without it.
  static bool available();

  TestBroker();
  ~TestBroker();
  TestBroker(const TestBroker&) = delete;
  TestBroker& operator=(const TestBroker&) = delete;

  int port() const { return port_; }
  std::string url(const std::string& prefix) const;
  // Ends the broker (SIGTERM to its PID, which saves its state) and waits for it.
  void stop();
  // Starts it again on the same port and waits until it takes connections.
  void start();

 private:
  std::filesystem::path dir_;
  int port_ = 0;
  pid_t pid_ = -1;
};

// A port of 127.0.0.1 that nothing listens on (it was free a moment ago).
int closed_loopback_port();

// A port of 127.0.0.1 that accepts TCP connections and never answers them:
// a broker that hangs.
class SilentListener {
 public:
  SilentListener();
  ~SilentListener();
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// A port of 127.0.0.1 whose "broker" accepts every login (CONNACK 0) and
// hangs up right after it.
class HangUpBroker {
 public:
  HangUpBroker();
  ~HangUpBroker();
  HangUpBroker(const HangUpBroker&) = delete;
  HangUpBroker& operator=(const HangUpBroker&) = delete;
  int port() const { return port_; }

 private:
  void serve();

  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

struct ReceivedMessage {
  std::string topic;
  std::string payload;
  bool retained;
};

// A libmosquitto subscriber with a session the broker keeps (clean session
// off, QoS 1), so that nothing published while it reconnects is lost.
class TestSubscriber {
 public:
  TestSubscriber(int port, const std::string& topic_filter);
  ~TestSubscriber();
  TestSubscriber(const TestSubscriber&) = delete;
  TestSubscriber& operator=(const TestSubscriber&) = delete;

  // True once the subscription is acknowledged, within the timeout.
  bool wait_subscribed(std::chrono::milliseconds timeout);
  // Waits until at least n messages on topic arrived, or the timeout; returns them all.
  std::vector<ReceivedMessage> wait_for(const std::string& topic, std::size_t n,
                                        std::chrono::milliseconds timeout);
  std::vector<ReceivedMessage> messages() const;

 private:
  static void on_connect(mosquitto*, void* self, int rc);
  static void on_subscribe(mosquitto*, void* self, int, int, const int*);
  static void on_message(mosquitto*, void* self, const ::mosquitto_message* message);

  mosquitto* m_ = nullptr;
  std::string filter_;
  mutable std::mutex mutex_;
  std::vector<ReceivedMessage> messages_;
  bool subscribed_ = false;
};

}  // namespace tarvo::testing
