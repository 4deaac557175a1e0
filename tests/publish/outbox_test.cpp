#include "publish/outbox.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

OutgoingReading reading(std::int64_t index) {
  OutgoingReading r;
  r.record.Index = index;
  return r;
}

// Sends everything not yet sent, numbering the messages from first_id.
std::vector<std::int64_t> send_all(Outbox& box, int first_id) {
  std::vector<std::int64_t> sent;
  std::uint64_t number = 0;
  while (const OutgoingReading* next = box.next_unsent(number)) {
    sent.push_back(next->record.Index);
    box.mark_sent(number, first_id++);
  }
  return sent;
}

TEST(Outbox, ResendsOnlyWhatTheBrokerDidNotAcknowledgeInOrder) {
  Outbox box(100);
  for (int i = 1; i <= 4; ++i) box.push(reading(i));
  EXPECT_EQ(send_all(box, 10), (std::vector<std::int64_t>{1, 2, 3, 4}));
  box.acknowledged(10);
  box.acknowledged(12);  // out of order: 2 still waits before it
  box.acknowledged(99);  // not ours
  EXPECT_EQ(box.waiting(), 3u);
  EXPECT_EQ(box.delivered(), 1u);

  box.connection_lost();
  box.push(reading(5));
  EXPECT_EQ(send_all(box, 1), (std::vector<std::int64_t>{2, 4, 5}));
  for (int id = 1; id <= 3; ++id) box.acknowledged(id);
  EXPECT_EQ(box.waiting(), 0u);
  EXPECT_EQ(box.delivered(), 5u);
  EXPECT_EQ(box.in_flight(), 0u);
}

TEST(Outbox, FullItDropsTheOldestAndCountsThem) {
  Outbox box(3);
  box.push(reading(1));
  std::uint64_t number = 0;
  box.next_unsent(number);
  box.mark_sent(number, 7);  // in flight when it is dropped
  for (int i = 2; i <= 5; ++i) box.push(reading(i));
  EXPECT_EQ(box.dropped(), 2u);
  box.acknowledged(7);  // for a reading that is gone: no harm
  EXPECT_EQ(send_all(box, 20), (std::vector<std::int64_t>{3, 4, 5}));
  EXPECT_EQ(box.waiting(), 3u);
}

}  // namespace
}  // namespace tarvo
