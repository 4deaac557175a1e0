#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>

#include "decode/meter_model.h"
#include "log/reading_log.h"

namespace tarvo {

// A committed reading on its way to the broker, with what its message needs
// from the meter's state at the moment of the commit.
struct OutgoingReading {
  real_Record record;
  MeterModel family = MeterModel::None;
  std::int32_t port = 0;  // the COM number the meter was found on; 0 for none
  std::string DecimalSeparator;
};

// The readings not yet acknowledged by the broker, oldest first. A reading
// leaves only when the broker has acknowledged it, so a lost connection loses
// nothing: everything unacknowledged is sent again, in order, on the next
// one. Full, it drops its oldest reading to take a new one. Not locked: its
// owner locks.
class Outbox {
 public:
  explicit Outbox(std::size_t capacity) : capacity_(capacity) {}

  void push(OutgoingReading reading);

  // The oldest reading not sent on this connection, or nullptr; number
  // names it for mark_sent, which stays right when older ones are dropped.
  const OutgoingReading* next_unsent(std::uint64_t& number) const;
  // The reading went out under this message id.
  void mark_sent(std::uint64_t number, int message_id);
  // The broker acknowledged a message; ids we did not send are ignored.
  void acknowledged(int message_id);
  // The connection ended: every unacknowledged reading goes out again.
  void connection_lost();

  std::size_t waiting() const { return items_.size(); }
  std::size_t in_flight() const { return sent_ids_.size(); }
  std::uint64_t dropped() const { return dropped_; }
  std::uint64_t delivered() const { return delivered_; }

 private:
  struct Item {
    OutgoingReading reading;
    bool sent = false;
    bool acknowledged = false;
  };

  std::size_t capacity_;
  std::deque<Item> items_;
  std::uint64_t first_number_ = 0;                   // the number of items_.front()
  std::size_t unsent_ = 0;                           // index of the first unsent item
  std::unordered_map<int, std::uint64_t> sent_ids_;  // message id -> item number
  std::uint64_t dropped_ = 0;
  std::uint64_t delivered_ = 0;
};

}  // namespace tarvo
