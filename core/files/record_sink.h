#pragma once

#include <cstdint>
#include <new>
#include <vector>

#include "log/reading_log.h"

namespace tarvo {

// Where a reader of a log file puts each record it has read and checked: a
// list, or straight into a log, so that opening a long file never holds its
// records twice.
class RecordSink {
 public:
  virtual ~RecordSink() = default;
  // Starts again from no record (a text log read once more in another encoding).
  virtual void clear() = 0;
  virtual void add(real_Record&& record) = 0;
  virtual std::int64_t count() const = 0;
  // The records the file may hold at most; a hint that may be ignored.
  virtual void expect(std::uint64_t /*records*/) {}
};

class RecordListSink final : public RecordSink {
 public:
  explicit RecordListSink(std::vector<real_Record>& records) : records_(records) {}
  void clear() override { records_.clear(); }
  void add(real_Record&& record) override { records_.push_back(std::move(record)); }
  std::int64_t count() const override { return static_cast<std::int64_t>(records_.size()); }
  void expect(std::uint64_t records) override {
    try {
      // Room for a loaded log's headroom too, as the log would add it.
      records_.reserve(static_cast<std::size_t>(records) + ReadingLog::kLoadedHeadroom);
    } catch (const std::bad_alloc&) {
      // Grown record by record instead: the lines may run out long before.
    }
  }

 private:
  std::vector<real_Record>& records_;
};

class LogSink final : public RecordSink {
 public:
  explicit LogSink(ReadingLog& log) : log_(log) { log_.reset_log_counters(); }
  void clear() override { log_.reset_log_counters(); }
  void add(real_Record&& record) override { log_.append_loaded(std::move(record)); }
  std::int64_t count() const override { return log_.count(); }

 private:
  ReadingLog& log_;
};

}  // namespace tarvo
