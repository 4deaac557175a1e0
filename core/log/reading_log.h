#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "decode/current_reading.h"
#include "log/fixed_text.h"
#include "log/frame_figures.h"
#include "log/local_time.h"
#include "log/reading_value.h"
#include "log/record_time.h"
#include "log/text_pool.h"

namespace tarvo {

// One logged reading: a snapshot of the texts of the current reading, its number,
// its time of day and, unless it came from a text log (which stores no dates),
// the whole local moment it was logged. A long run holds millions of them, so
// the texts that repeat (ranges, times of day) are pooled and the moment packed.
// The main number is read from its text once, when the record is made from a
// reading or read from a file (Value); whoever assigns Main_No otherwise sets
// Value with ReadingValue::of, or leaves it as text to be read on asking.
struct real_Record {
  std::int64_t Index = 0;
  FixedText<10> Main_No;
  FixedText<10> Sub_No;
  ReadingValue Value;  // of Main_No; sits where the texts leave room
  PooledText<35> Main_Range;
  PooledText<35> Sub_range;
  PooledText<15> Time;
  RecordTime DateTime;
  bool Dated = false;
  // The first reading after the meter had gone away and came back: nothing
  // was read between it and the record before.
  bool AfterGap = false;
  // A frame typed by hand and injected (btn_test), no reading of the meter.
  bool TestFrame = false;
  FrameFigures Frames;  // the frames of its interval; none for a text log's records

  // Value follows from Main_No, and a record whose Value is still kept as text
  // is the same record.
  friend bool operator==(const real_Record& a, const real_Record& b) {
    return a.Index == b.Index && a.Main_No == b.Main_No && a.Sub_No == b.Sub_No &&
           a.Main_Range == b.Main_Range && a.Sub_range == b.Sub_range && a.Time == b.Time &&
           a.DateTime == b.DateTime && a.Dated == b.Dated && a.AfterGap == b.AfterGap &&
           a.TestFrame == b.TestFrame && a.Frames == b.Frames;
  }
};

// What a reading costs in memory is mostly this.
static_assert(sizeof(real_Record) <= 96);

// What sets a record apart from the readings around it.
struct RecordMarks {
  bool after_gap = false;
  bool test_frame = false;
};

// The in-memory log. Reading n lives in element n; element 0 is never used.
// Setting the count to 0 keeps the storage size, whose old records are never
// shown because every reader stops at the count.
//
// The records live in blocks that are never moved once made: an append costs
// the same at the tenth reading and at the ten-millionth, where a storage that
// grows by copying would stop the window for seconds. The storage size follows
// the sizing rule of a single array (it is what the log promises to hold
// without growing); blocks are only made as elements are written.
class ReadingLog {
 public:
  static constexpr int kBlockBits = 12;
  static constexpr std::int64_t kBlockRecords = std::int64_t{1} << kBlockBits;

  ReadingLog() = default;
  // A copy holds the records up to the count; moving keeps the blocks.
  ReadingLog(const ReadingLog& other);
  ReadingLog& operator=(const ReadingLog& other);
  ReadingLog(ReadingLog&&) noexcept = default;
  ReadingLog& operator=(ReadingLog&&) noexcept = default;

  std::int64_t count() const { return count_; }
  // Records 1 .. count(); index 0 is the unused element.
  const real_Record& operator[](std::int64_t n) const {
    if (blocks_.empty()) return kUnused;
    return blocks_[static_cast<std::size_t>(n >> kBlockBits)][n & (kBlockRecords - 1)];
  }
  std::size_t storage_size() const { return storage_size_; }

  // Adds one record built from the reading, its time and the figures of the
  // frames of its interval; returns its number.
  std::int64_t append_reading(const CurrentReading& reading, const LocalTime& ReadingTime,
                              const FrameFigures& frames = {}, RecordMarks marks = {});

  // Reset and Start: the count goes to 0, the storage size stays; the blocks
  // are given back, since no reader looks past the count.
  void reset_log_counters();

  // A replaced log's storage holds this many elements beyond its count.
  static constexpr std::size_t kLoadedHeadroom = 5;

  // Opening a log: the storage becomes records.size() + 5 elements and records
  // 1..N are the given ones (records[0] is element 1).
  void replace(std::vector<real_Record> records);

  // A reader of a file fills an emptied log record by record, so the records
  // exist once: the new one becomes number count() + 1 as it was read (its
  // Index kept) and the storage is the count plus the loaded headroom.
  void append_loaded(real_Record&& record);

 private:
  using Block = std::unique_ptr<real_Record[]>;
  static const real_Record kUnused;

  real_Record& element(std::int64_t n);

  std::vector<Block> blocks_;
  std::size_t storage_size_ = 0;
  std::int64_t count_ = 0;
};

}  // namespace tarvo
