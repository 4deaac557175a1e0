// Who hears of a commit, in which order, and for how long.
#include "log/commit_listeners.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

// Writes its name into a shared journal each time it is told.
class Named final : public CommitListener {
 public:
  Named(std::string name, std::string& journal) : name_(std::move(name)), journal_(journal) {}
  void reading_committed(const real_Record&) override { journal_ += name_; }

 private:
  std::string name_;
  std::string& journal_;
};

struct Order {
  const char* name;
  std::vector<CommitStage> subscribed;  // in this order, listener i is named by letter
  const char* told;
};

class Journal {
 public:
  std::string told_after_one_commit(const CommitListeners& list) {
    text.clear();
    list.reading_committed(real_Record{});
    return text;
  }
  Named& make(char letter) {
    named.push_back(std::make_unique<Named>(std::string(1, letter), text));
    return *named.back();
  }
  std::string text;
  std::vector<std::unique_ptr<Named>> named;
};

using S = CommitStage;

TEST(CommitListeners, AreToldByStageThenInTheOrderOfSubscribing) {
  const std::array<Order, 5> orders{{
      {"stage order", {S::SessionFile, S::Statistics, S::Limits, S::Publisher, S::Views}, "abcde"},
      {"reversed", {S::Views, S::Publisher, S::Limits, S::Statistics, S::SessionFile}, "edcba"},
      {"session file last", {S::Views, S::Statistics, S::SessionFile}, "cba"},
      {"one stage twice", {S::Views, S::Limits, S::Views, S::Limits}, "bdac"},
      {"none", {}, ""},
  }};
  for (const Order& order : orders) {
    CommitListeners list;
    Journal journal;
    std::vector<CommitSubscription> held;
    char letter = 'a';
    for (CommitStage stage : order.subscribed) {
      held.push_back(list.subscribe(stage, journal.make(letter++)));
    }
    EXPECT_EQ(journal.told_after_one_commit(list), order.told) << order.name;
  }
}

TEST(CommitListeners, AGoneHandleIsNoLongerTold) {
  CommitListeners list;
  Journal journal;
  Named& a = journal.make('a');
  Named& b = journal.make('b');
  CommitSubscription kept = list.subscribe(S::Views, a);
  {
    CommitSubscription gone = list.subscribe(S::SessionFile, b);
    EXPECT_EQ(journal.told_after_one_commit(list), "ba");
  }
  EXPECT_EQ(journal.told_after_one_commit(list), "a");
  kept.cancel();
  EXPECT_FALSE(kept.active());
  EXPECT_EQ(journal.told_after_one_commit(list), "");
  EXPECT_EQ(list.size(), 0u);
}

// One listener in two places: each handle takes out its own place only.
TEST(CommitListeners, EachHandleTakesOutItsOwnPlace) {
  CommitListeners list;
  Journal journal;
  Named& a = journal.make('a');
  CommitSubscription first = list.subscribe(S::Statistics, a);
  CommitSubscription second = list.subscribe(S::Views, a);
  EXPECT_EQ(journal.told_after_one_commit(list), "aa");
  first.cancel();
  EXPECT_EQ(journal.told_after_one_commit(list), "a");
  EXPECT_TRUE(second.active());
}

// A moved handle owns the place; the one it came from takes nothing out, and
// a handle assigned over cancels its own place first.
TEST(CommitListeners, MovedHandlesKeepTheirPlace) {
  CommitListeners list;
  Journal journal;
  Named& a = journal.make('a');
  Named& b = journal.make('b');
  CommitSubscription moved;
  {
    CommitSubscription source = list.subscribe(S::Views, a);
    moved = std::move(source);
  }
  EXPECT_EQ(journal.told_after_one_commit(list), "a");
  moved = list.subscribe(S::Views, b);
  EXPECT_EQ(journal.told_after_one_commit(list), "b");
}

// Handles may outlive their list; a copy of a list starts with no listeners,
// and assigning one keeps the listeners of the target.
TEST(CommitListeners, ListenersFollowOneListNotItsCopies) {
  Journal journal;
  CommitSubscription outliving;
  {
    auto list = std::make_unique<CommitListeners>();
    outliving = list->subscribe(S::Views, journal.make('a'));
    const CommitListeners copy(*list);
    EXPECT_EQ(journal.told_after_one_commit(copy), "");
    CommitListeners assigned;
    CommitSubscription own = assigned.subscribe(S::Views, journal.make('b'));
    assigned = *list;
    EXPECT_EQ(journal.told_after_one_commit(assigned), "b");
  }
  EXPECT_FALSE(outliving.active());
  outliving.cancel();
}

}  // namespace
}  // namespace tarvo
