#include "log/reading_log.h"

#include <algorithm>

namespace tarvo {

namespace {

// While the log is short every append sets the storage to count + 10000
// elements, so the first append after a Reset also trims a longer storage.
constexpr std::int64_t kLastResizingCount = 1003;
constexpr std::int64_t kHeadroom = 10000;

}  // namespace

std::int64_t ReadingLog::append_reading(const CurrentReading& reading, const LocalTime& ReadingTime,
                                        const FrameFigures& frames, RecordMarks marks) {
  const std::int64_t next = count_ + 1;
  if (count_ <= kLastResizingCount) {
    storage_.resize(static_cast<std::size_t>(count_ + kHeadroom));
  } else if (storage_.size() <= static_cast<std::size_t>(next)) {
    // Past the short-log sizing the storage would run out after 11002 readings
    // (or 4 past a loaded log); a week of one-second readings must still fit.
    storage_.resize(std::max(storage_.size() * 2, static_cast<std::size_t>(next) + 1));
  }
  count_ = next;

  real_Record& record = storage_[static_cast<std::size_t>(next)];
  record.Index = next;
  record.Main_No.assign(reading.Main_No);
  record.Sub_No.assign(reading.Sub_No);
  record.Main_Range.assign(reading.Main_Range);
  record.Sub_range.assign(reading.Sub_range);
  record.Time.assign(format_hhnnss(ReadingTime));
  record.DateTime = ReadingTime;
  record.Dated = true;
  record.Frames = frames;
  record.AfterGap = marks.after_gap;
  record.TestFrame = marks.test_frame;
  return next;
}

void ReadingLog::replace(std::vector<real_Record> records) {
  const std::size_t count = records.size();
  records.insert(records.begin(), real_Record{});
  records.resize(count + kLoadedHeadroom);
  storage_ = std::move(records);
  count_ = static_cast<std::int64_t>(count);
}

}  // namespace tarvo
