#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <memory>
#include <mutex>

namespace tarvo {

// Hands work from another thread to the thread of a QObject, until that
// object detaches: a call that comes after the detach is dropped, and the
// detach waits for a hand-over under way, so nothing reaches a dead object.
class UiThreadRelay {
 public:
  explicit UiThreadRelay(QObject* target) : target_(target) {}

  void post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    if (target_ != nullptr)
      QMetaObject::invokeMethod(target_, std::move(work), Qt::QueuedConnection);
  }
  void detach() {
    std::lock_guard lock(mutex_);
    target_ = nullptr;
  }

 private:
  std::mutex mutex_;
  QObject* target_;
};

}  // namespace tarvo
