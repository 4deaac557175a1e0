#include "log/commit_listeners.h"

#include <algorithm>

namespace tarvo {

CommitSubscription::CommitSubscription(CommitSubscription&& other) noexcept
    : entries_(std::move(other.entries_)), id_(other.id_), listening_(other.listening_) {
  other.listening_ = false;
}

CommitSubscription& CommitSubscription::operator=(CommitSubscription&& other) noexcept {
  if (this != &other) {
    cancel();
    entries_ = std::move(other.entries_);
    id_ = other.id_;
    listening_ = other.listening_;
    other.listening_ = false;
  }
  return *this;
}

void CommitSubscription::cancel() {
  const std::shared_ptr<Entries> entries = entries_.lock();
  if (listening_ && entries) {
    std::erase_if(entries->list, [this](const Entry& e) { return e.id == id_; });
  }
  entries_.reset();
  listening_ = false;
}

CommitSubscription CommitListeners::subscribe(CommitStage stage, CommitListener& listener) {
  // After every listener of the same or an earlier stage.
  auto& list = entries_->list;
  const auto place =
      std::find_if(list.begin(), list.end(), [stage](const auto& e) { return e.stage > stage; });
  const std::uint64_t id = entries_->next_id++;
  list.insert(place, {stage, &listener, id});
  return CommitSubscription(entries_, id);
}

void CommitListeners::reading_committed(const real_Record& record) const {
  for (const auto& entry : entries_->list) entry.listener->reading_committed(record);
}

}  // namespace tarvo
