// Alarms shown by a real notification service on a private session bus.
#include "alarm/desktop_notice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "notification_service.h"

namespace tarvo {
namespace {

using namespace std::chrono_literals;
using testing::NotificationService;

template <typename Ready>
bool eventually(Ready ready) {
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (!ready()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

class DesktopNotices : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!NotificationService::available()) GTEST_SKIP() << "no dbus-daemon, Xvfb or dunst";
    service_ = std::make_unique<NotificationService>();
    const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (old != nullptr) old_address_ = old;
    ::setenv("DBUS_SESSION_BUS_ADDRESS", service_->address().c_str(), 1);
  }
  void TearDown() override {
    if (old_address_) {
      ::setenv("DBUS_SESSION_BUS_ADDRESS", old_address_->c_str(), 1);
    } else {
      ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
  }
  DesktopNotice::Acknowledged collect() {
    return [this](std::uint64_t key) {
      std::lock_guard lock(mutex_);
      acknowledged_.push_back(key);
    };
  }
  std::vector<std::uint64_t> acknowledged() {
    std::lock_guard lock(mutex_);
    return acknowledged_;
  }
  DesktopNotice::Report collect_reports() {
    return [this](const std::string& line) {
      std::lock_guard lock(mutex_);
      reports_.push_back(line);
    };
  }

  std::unique_ptr<NotificationService> service_;
  std::optional<std::string> old_address_;
  std::mutex mutex_;
  std::vector<std::uint64_t> acknowledged_;
  std::vector<std::string> reports_;
};

TEST_F(DesktopNotices, OneNoticePerAlarmKeyAndTheUserAcknowledgesIt) {
  DesktopNotice notice("Acknowledge", collect_reports(), collect());
  notice.show(1, "High limit", "5.0123 V since 14:05:00");
  notice.show(1, "High limit", "5.0456 V since 14:05:00");  // the same excursion: replaced
  notice.show(2, "Low limit", "0.9 V since 14:07:00");
  notice.drain();
  EXPECT_TRUE(eventually([&] { return service_->displayed() == 2; })) << service_->displayed();
  // The service chooses which notice is on top; each is acknowledged once.
  service_->dismiss();
  EXPECT_TRUE(eventually([&] { return acknowledged().size() == 1; }));
  service_->click_action();
  EXPECT_TRUE(eventually([&] { return acknowledged().size() == 2; }));
  std::vector<std::uint64_t> keys = acknowledged();
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<std::uint64_t>{1, 2}));
  EXPECT_TRUE(reports_.empty());
}

TEST(DesktopNoticesWithoutService, NoServiceIsReportedOnceAndNothingBlocks) {
  const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  const std::optional<std::string> old_address =
      old != nullptr ? std::optional<std::string>(old) : std::nullopt;
  ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarvo-bus", 1);
  std::vector<std::string> reports;
  std::mutex mutex;
  {
    DesktopNotice notice(
        "Acknowledge",
        [&](const std::string& line) {
          std::lock_guard lock(mutex);
          reports.push_back(line);
        },
        [](std::uint64_t) {});
    for (int i = 0; i < 3; ++i) notice.show(i, "High limit", "x");
    notice.drain();
  }
  if (old_address) {
    ::setenv("DBUS_SESSION_BUS_ADDRESS", old_address->c_str(), 1);
  } else {
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  }
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].starts_with("desktop notification: no session bus")) << reports[0];
}

}  // namespace
}  // namespace tarvo
