// Work handed from another thread reaches the window's thread, and nothing
// reaches a window that has detached.
#include "ui_thread_relay.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>
#include <thread>

namespace tarvo {
namespace {

TEST(UiThreadRelay, RunsWorkOnTheTargetsThreadUntilDetached) {
  const struct {
    bool detach_first;
    int expected_runs;
  } cases[] = {{false, 3}, {true, 0}};
  for (const auto& c : cases) {
    auto target = std::make_unique<QObject>();
    auto relay = std::make_shared<UiThreadRelay>(target.get());
    if (c.detach_first) relay->detach();
    int runs = 0;
    std::atomic<bool> on_other_thread{false};
    std::thread sender([&] {
      for (int i = 0; i < 3; ++i) {
        relay->post([&] {
          if (QThread::currentThread() != target->thread()) on_other_thread = true;
          ++runs;
        });
      }
    });
    sender.join();
    if (c.expected_runs > 0) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return runs == c.expected_runs; }, 10000));
    } else {
      QTest::qWait(50);
    }
    EXPECT_EQ(runs, c.expected_runs) << c.detach_first;
    EXPECT_FALSE(on_other_thread);
  }
}

// Work posted before the target goes is dropped with it, never run on it.
TEST(UiThreadRelay, WorkPendingForADeletedTargetIsDropped) {
  auto target = std::make_unique<QObject>();
  UiThreadRelay relay(target.get());
  int runs = 0;
  std::thread sender([&] { relay.post([&] { ++runs; }); });
  sender.join();
  relay.detach();
  target.reset();
  QTest::qWait(50);
  EXPECT_EQ(runs, 0);
}

}  // namespace
}  // namespace tarvo
