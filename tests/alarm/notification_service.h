#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace tarvo::testing {

// A real notification service of the test's own: a private session bus, an
// X server with no screen of the machine's, and dunst on them. Its processes
// are ended by their PIDs.
class NotificationService {
 public:
  static bool available();

  NotificationService();
  ~NotificationService();
  NotificationService(const NotificationService&) = delete;
  NotificationService& operator=(const NotificationService&) = delete;

  // DBUS_SESSION_BUS_ADDRESS of the private bus.
  const std::string& address() const { return address_; }
  // How many notices the service shows now.
  int displayed() const;
  // How many notices it was given: waiting, shown, and gone into its history.
  int shown() const;
  // The user dismisses the newest notice.
  void dismiss() const;
  // The user clicks the newest notice's action.
  void click_action() const;

 private:
  void start();
  void start_dunst();
  void stop();
  std::string dunstctl(const std::string& args) const;

  std::filesystem::path dir_;
  std::string address_, display_;
  pid_t bus_ = -1, x_ = -1, dunst_ = -1;
};

}  // namespace tarvo::testing
