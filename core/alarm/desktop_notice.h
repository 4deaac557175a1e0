#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace tarvo {

// Shows alarms through the desktop's notification service on the session bus
// (org.freedesktop.Notifications), from a thread of its own: the commit path
// only queues, and a slow or missing service never holds a reading up. Each
// alarm has a key (one excursion); showing a key again replaces its notice.
// Clicking the notice, its Acknowledge action or dismissing it acknowledges
// the alarm: `acknowledged` hears the key, on the notifier's thread.
class DesktopNotice {
 public:
  using Report = std::function<void(const std::string&)>;
  using Acknowledged = std::function<void(std::uint64_t key)>;

  // `acknowledge` is the action's label in the current language.
  DesktopNotice(std::string acknowledge, Report report, Acknowledged acknowledged);
  ~DesktopNotice();
  DesktopNotice(const DesktopNotice&) = delete;
  DesktopNotice& operator=(const DesktopNotice&) = delete;

  void show(std::uint64_t key, std::string title, std::string body);
  // Waits until every queued notice was handed to the service or failed.
  void drain();

 private:
  struct Item {
    std::uint64_t key;
    std::string title, body;
  };
  struct Bus;

  void work();
  void deliver(Bus& bus, const Item& item);
  void heard(std::uint32_t id, bool acknowledged);
  void wake();

  const std::string acknowledge_;
  const Report report_;
  const Acknowledged acknowledged_;
  std::mutex mutex_;
  std::deque<Item> waiting_;
  bool busy_ = false;
  bool ending_ = false;
  std::map<std::uint64_t, std::uint32_t> shown_;  // key -> the service's id; the thread's own
  int wake_[2] = {-1, -1};
  std::thread thread_;
};

}  // namespace tarvo
