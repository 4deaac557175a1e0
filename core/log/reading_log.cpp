#include "log/reading_log.h"

#include <algorithm>

namespace tarvo {

namespace {

// While the log is short every append sets the storage to count + 10000
// elements, so the first append after a Reset also trims a longer storage.
constexpr std::int64_t kLastResizingCount = 1003;
constexpr std::int64_t kHeadroom = 10000;

// Consecutive readings mostly show the same range texts, and those of one
// second the same time of day: the previous record's pooled text spares the
// pool's lock and lookup on the committing thread.
template <std::size_t N>
void assign_pooled(PooledText<N>& text, std::string_view value, const PooledText<N>& before) {
  if (before.view() == value) {
    text = before;
  } else {
    text.assign(value);
  }
}

}  // namespace

const real_Record ReadingLog::kUnused{};

real_Record& ReadingLog::element(std::int64_t n) {
  const auto block = static_cast<std::size_t>(n >> kBlockBits);
  // A new block is one allocation of a few hundred kilobytes; the table of
  // blocks holds pointers only, so its own growth copies little.
  while (blocks_.size() <= block) blocks_.push_back(std::make_unique<real_Record[]>(kBlockRecords));
  return blocks_[block][n & (kBlockRecords - 1)];
}

ReadingLog::ReadingLog(const ReadingLog& other)
    : storage_size_(other.storage_size_), count_(other.count_) {
  for (std::int64_t n = 0; n <= other.count_ && !other.blocks_.empty(); ++n) element(n) = other[n];
}

ReadingLog& ReadingLog::operator=(const ReadingLog& other) {
  if (this != &other) *this = ReadingLog(other);
  return *this;
}

void ReadingLog::reset_log_counters() {
  count_ = 0;
  blocks_.clear();
}

std::int64_t ReadingLog::append_reading(const CurrentReading& reading, const LocalTime& ReadingTime,
                                        const FrameFigures& frames, RecordMarks marks) {
  const std::int64_t next = count_ + 1;
  if (count_ <= kLastResizingCount) {
    storage_size_ = static_cast<std::size_t>(count_ + kHeadroom);
  } else if (storage_size_ <= static_cast<std::size_t>(next)) {
    // Past the short-log sizing the storage would run out after 11002 readings
    // (or 4 past a loaded log); a week of one-second readings must still fit.
    storage_size_ = std::max(storage_size_ * 2, static_cast<std::size_t>(next) + 1);
  }
  const real_Record& before = element(count_);
  real_Record& record = element(next);
  count_ = next;

  record.Index = next;
  record.Main_No.assign(reading.Main_No);
  record.Value = ReadingValue::of(record.Main_No.view());
  record.Sub_No.assign(reading.Sub_No);
  assign_pooled(record.Main_Range, reading.Main_Range, before.Main_Range);
  assign_pooled(record.Sub_range, reading.Sub_range, before.Sub_range);
  assign_pooled(record.Time, format_hhnnss(ReadingTime), before.Time);
  record.DateTime = ReadingTime;
  record.Dated = true;
  record.Frames = frames;
  record.AfterGap = marks.after_gap;
  record.TestFrame = marks.test_frame;
  return next;
}

void ReadingLog::replace(std::vector<real_Record> records) {
  reset_log_counters();
  element(0) = real_Record{};
  for (real_Record& record : records) append_loaded(std::move(record));
  storage_size_ = records.size() + kLoadedHeadroom;
}

void ReadingLog::append_loaded(real_Record&& record) {
  const std::int64_t next = count_ + 1;
  real_Record& stored = element(next);
  stored = std::move(record);
  stored.Value = ReadingValue::of(stored.Main_No.view());
  count_ = next;
  storage_size_ = static_cast<std::size_t>(next) + kLoadedHeadroom;
}

}  // namespace tarvo
