#include "alarm/desktop_notice.h"

#include <fcntl.h>
#include <poll.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>

namespace tarvo {
namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr std::uint64_t kCallMicroseconds = 5'000'000;
constexpr std::uint32_t kDismissedByUser = 2;
constexpr std::uint8_t kCritical = 2;  // stays until the user acts

std::string bus_error(int r) {
  return std::strerror(r < 0 ? -r : r);
}

}  // namespace

// The connection, made and used on the notifier's thread only (sd-bus is not
// shared between threads).
struct DesktopNotice::Bus {
  DesktopNotice& owner;
  sd_bus* bus = nullptr;
  bool told_missing = false;

  explicit Bus(DesktopNotice& o) : owner(o) {}
  ~Bus() {
    if (bus != nullptr) sd_bus_flush_close_unref(bus);
  }

  bool connect() {
    if (bus != nullptr) return true;
    const int r = sd_bus_open_user(&bus);
    if (r < 0) {
      bus = nullptr;
      if (!told_missing && owner.report_) {
        owner.report_("desktop notification: no session bus (" + bus_error(r) + ")");
      }
      told_missing = true;
      return false;
    }
    told_missing = false;
    sd_bus_match_signal(bus, nullptr, nullptr, kPath, kService, "ActionInvoked", &Bus::on_action,
                        this);
    sd_bus_match_signal(bus, nullptr, nullptr, kPath, kService, "NotificationClosed",
                        &Bus::on_closed, this);
    return true;
  }

  void drop() {
    if (bus != nullptr) sd_bus_flush_close_unref(bus);
    bus = nullptr;
  }

  static int on_action(sd_bus_message* m, void* self, sd_bus_error*) {
    std::uint32_t id = 0;
    const char* action = nullptr;
    if (sd_bus_message_read(m, "us", &id, &action) >= 0)
      static_cast<Bus*>(self)->owner.heard(id, true);
    return 0;
  }
  static int on_closed(sd_bus_message* m, void* self, sd_bus_error*) {
    std::uint32_t id = 0, reason = 0;
    if (sd_bus_message_read(m, "uu", &id, &reason) >= 0) {
      static_cast<Bus*>(self)->owner.heard(id, reason == kDismissedByUser);
    }
    return 0;
  }
};

DesktopNotice::DesktopNotice(std::string acknowledge, Report report, Acknowledged acknowledged)
    : acknowledge_(std::move(acknowledge)),
      report_(std::move(report)),
      acknowledged_(std::move(acknowledged)) {
  if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
  thread_ = std::thread([this] { work(); });
}

DesktopNotice::~DesktopNotice() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wake();
  thread_.join();
  for (int fd : wake_) {
    if (fd >= 0) close(fd);
  }
}

void DesktopNotice::wake() {
  if (wake_[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(wake_[1], &byte, 1);
  }
}

void DesktopNotice::show(std::uint64_t key, std::string title, std::string body) {
  {
    std::lock_guard lock(mutex_);
    waiting_.push_back({key, std::move(title), std::move(body)});
  }
  wake();
}

void DesktopNotice::drain() {
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (waiting_.empty() && !busy_) return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void DesktopNotice::heard(std::uint32_t id, bool acknowledged) {
  for (auto it = shown_.begin(); it != shown_.end(); ++it) {
    if (it->second != id) continue;
    const std::uint64_t key = it->first;
    shown_.erase(it);
    if (acknowledged && acknowledged_) acknowledged_(key);
    return;
  }
}

void DesktopNotice::deliver(Bus& bus, const Item& item) {
  if (!bus.connect()) return;
  sd_bus_message* m = nullptr;
  sd_bus_message* reply = nullptr;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  const auto known = shown_.find(item.key);
  const std::uint32_t replaces = known == shown_.end() ? 0 : known->second;
  const char* actions[] = {"default", acknowledge_.c_str(), "acknowledge", acknowledge_.c_str(),
                           nullptr};
  int r = sd_bus_message_new_method_call(bus.bus, &m, kService, kPath, kService, "Notify");
  if (r >= 0) {
    r = sd_bus_message_append(m, "susss", "Tarvo", replaces, "", item.title.c_str(),
                              item.body.c_str());
  }
  if (r >= 0) r = sd_bus_message_append_strv(m, const_cast<char**>(actions));
  if (r >= 0) r = sd_bus_message_append(m, "a{sv}", 1, "urgency", "y", kCritical);
  if (r >= 0) r = sd_bus_message_append(m, "i", -1);
  if (r >= 0) r = sd_bus_call(bus.bus, m, kCallMicroseconds, &error, &reply);
  std::uint32_t id = 0;
  if (r >= 0) r = sd_bus_message_read(reply, "u", &id);
  if (r >= 0) {
    shown_[item.key] = id;
  } else if (report_) {
    const std::string why = error.message != nullptr ? error.message : bus_error(r);
    report_("desktop notification: not shown (" + why + ")");
    if (r == -ECONNRESET || r == -ENOTCONN) bus.drop();
  }
  sd_bus_error_free(&error);
  sd_bus_message_unref(reply);
  sd_bus_message_unref(m);
}

void DesktopNotice::work() {
  Bus bus(*this);
  for (;;) {
    Item item;
    bool have = false;
    {
      std::lock_guard lock(mutex_);
      if (ending_) return;
      if (!waiting_.empty()) {
        item = std::move(waiting_.front());
        waiting_.pop_front();
        have = busy_ = true;
      }
    }
    if (have) {
      deliver(bus, item);
      std::lock_guard lock(mutex_);
      busy_ = false;
      continue;
    }
    // Nothing to show: hear the service's signals until woken.
    while (bus.bus != nullptr && sd_bus_process(bus.bus, nullptr) > 0) {
    }
    pollfd fds[2] = {{wake_[0], POLLIN, 0}, {-1, 0, 0}};
    if (bus.bus != nullptr)
      fds[1] = {sd_bus_get_fd(bus.bus), static_cast<short>(sd_bus_get_events(bus.bus)), 0};
    poll(fds, 2, 1000);
    char drained[64];
    while (wake_[0] >= 0 && read(wake_[0], drained, sizeof drained) > 0) {
    }
  }
}

}  // namespace tarvo
