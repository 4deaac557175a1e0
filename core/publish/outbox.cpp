#include "publish/outbox.h"

namespace tarvo {

void Outbox::push(OutgoingReading reading) {
  if (capacity_ == 0) {
    ++dropped_;
    return;
  }
  if (items_.size() == capacity_) {
    items_.pop_front();
    ++first_number_;
    if (unsent_ > 0) --unsent_;
    ++dropped_;
  }
  items_.push_back({std::move(reading)});
}

const OutgoingReading* Outbox::next_unsent(std::uint64_t& number) const {
  std::size_t i = unsent_;
  while (i < items_.size() && (items_[i].sent || items_[i].acknowledged)) ++i;
  if (i >= items_.size()) return nullptr;
  number = first_number_ + i;
  return &items_[i].reading;
}

void Outbox::mark_sent(std::uint64_t number, int message_id) {
  if (number < first_number_ || number - first_number_ >= items_.size()) return;
  items_[static_cast<std::size_t>(number - first_number_)].sent = true;
  sent_ids_[message_id] = number;
  while (unsent_ < items_.size() && (items_[unsent_].sent || items_[unsent_].acknowledged)) {
    ++unsent_;
  }
}

void Outbox::acknowledged(int message_id) {
  const auto found = sent_ids_.find(message_id);
  if (found == sent_ids_.end()) return;
  const std::uint64_t number = found->second;
  sent_ids_.erase(found);
  // A reading dropped while in flight has left already.
  if (number < first_number_) return;
  items_[static_cast<std::size_t>(number - first_number_)].acknowledged = true;
  while (!items_.empty() && items_.front().acknowledged) {
    items_.pop_front();
    ++first_number_;
    if (unsent_ > 0) --unsent_;
    ++delivered_;
  }
}

void Outbox::connection_lost() {
  sent_ids_.clear();
  for (Item& item : items_) item.sent = false;
  unsent_ = 0;
}

}  // namespace tarvo
