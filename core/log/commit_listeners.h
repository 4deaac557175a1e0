#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "log/commit_listener.h"

namespace tarvo {

// The order in which a commit is told, whatever the order of subscribing: the
// reading is on the disk before anything else hears of it, the figures and
// the limits are up to date before the reading leaves for the broker, and the
// views come last. Within a stage, in the order of subscribing.
enum class CommitStage { SessionFile, Statistics, Limits, Publisher, Views };

class CommitListeners;

// A listener's place in the list for as long as the handle lives: its
// destructor (or cancel) takes the listener out. Outliving the list is
// harmless.
class [[nodiscard]] CommitSubscription {
 public:
  CommitSubscription() = default;
  ~CommitSubscription() { cancel(); }
  CommitSubscription(CommitSubscription&& other) noexcept;
  CommitSubscription& operator=(CommitSubscription&& other) noexcept;
  CommitSubscription(const CommitSubscription&) = delete;
  CommitSubscription& operator=(const CommitSubscription&) = delete;

  void cancel();
  bool active() const { return listening_ && !entries_.expired(); }

 private:
  friend class CommitListeners;
  struct Entry {
    CommitStage stage;
    CommitListener* listener;
    std::uint64_t id;  // one listener may hold several places
  };
  struct Entries {
    std::vector<Entry> list;
    std::uint64_t next_id = 0;
  };
  CommitSubscription(std::weak_ptr<Entries> entries, std::uint64_t id)
      : entries_(std::move(entries)), id_(id), listening_(true) {}

  std::weak_ptr<Entries> entries_;
  std::uint64_t id_ = 0;
  bool listening_ = false;
};

// Who hears of each committed reading, in stage order. Listeners follow one
// object: a copy of the state it belongs to starts with none, and assigning
// a state keeps the listeners it had. Subscribing or cancelling from inside
// reading_committed is not allowed.
class CommitListeners {
 public:
  CommitListeners() = default;
  CommitListeners(const CommitListeners&) : CommitListeners() {}
  CommitListeners& operator=(const CommitListeners&) { return *this; }

  CommitSubscription subscribe(CommitStage stage, CommitListener& listener);
  void reading_committed(const real_Record& record) const;
  std::size_t size() const { return entries_->list.size(); }

 private:
  std::shared_ptr<CommitSubscription::Entries> entries_ =
      std::make_shared<CommitSubscription::Entries>();
};

}  // namespace tarvo
