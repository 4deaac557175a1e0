#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/commit_listener.h"
#include "log/reading_log.h"

namespace tarvo {

// The lowest and highest chart value (times 10000) of a stretch of records;
// empty when none of them has a value.
struct MinMax {
  std::int64_t min = std::numeric_limits<std::int64_t>::max();
  std::int64_t max = std::numeric_limits<std::int64_t>::min();

  bool empty() const { return min > max; }
  void add(std::int64_t value) {
    min = value < min ? value : min;
    max = value > max ? value : max;
  }
  void add(const MinMax& other) {
    min = other.min < min ? other.min : min;
    max = other.max > max ? other.max : max;
  }
  friend bool operator==(const MinMax&, const MinMax&) = default;
};

// Minimum and maximum over any stretch of a long sequence of values, at a
// cost that grows with the logarithm of the stretch, never with the sequence.
// Level 0 holds one entry per value; each level above holds one entry per
// complete block of kFanOut entries of the level below. Only complete blocks
// are summarised, so an append touches a level above only when it completes a
// block there: amortised constant work.
class MinMaxPyramid {
 public:
  static constexpr std::int64_t kFanOut = 8;

  void clear();
  void append(std::optional<std::int64_t> value);
  std::int64_t size() const;

  // Positions begin..end-1, counted from 0; empty for an empty stretch.
  MinMax envelope(std::int64_t begin, std::int64_t end) const;
  // The stretch begin..end-1 cut into `columns` parts of equal length, as a
  // plot of that many pixels wide shows it: part c covers the positions from
  // begin + c * length / columns up to the next part's start. When the
  // stretch is shorter than the columns, some parts are empty.
  std::vector<MinMax> columns(std::int64_t begin, std::int64_t end, int columns) const;

 private:
  std::vector<std::vector<MinMax>> levels_;
};

// The pyramids of a log's chart values and where its newest run starts,
// kept up to date with each commit and built again from the log when it was
// replaced or emptied meanwhile (its count is then not the one followed).
// There is one pyramid per function and unit, in which the records of any
// other leave their positions empty, so that no plot puts volts and ohms on
// one axis; a typed test frame has a place in none.
class LogPyramid final : public CommitListener {
 public:
  LogPyramid(const ReadingLog& log, const std::string& decimal_separator)
      : log_(log), separator_(decimal_separator) {}

  void reading_committed(const real_Record& record) override;
  // Starts again from the log as it is (after a load, a reset or a clear).
  void rebuild();

  // The values of the newest reading's function and unit; position p stands
  // for record p + 1.
  const MinMaxPyramid& pyramid();
  // The unit of those values ("V", "KΩ"); empty for an empty log.
  std::string unit();
  // The first record of the newest run (records of the same function and
  // unit as the newest); 1 for an empty log.
  std::int64_t run_start();

 private:
  void take(std::int64_t n);
  void catch_up();

  struct Keyed {
    std::string function_key, unit;
    MinMaxPyramid pyramid;
  };
  Keyed& keyed_for(std::string_view function_key, std::string_view unit, std::int64_t n);

  const ReadingLog& log_;
  const std::string& separator_;
  std::int64_t seen_ = 0;
  std::vector<Keyed> keyed_;
  std::size_t newest_ = 0;         // the entry of keyed_ of the newest reading
  std::int64_t last_reading_ = 0;  // the newest record that is no test frame
  std::int64_t run_start_ = 1;
  MinMaxPyramid empty_;
};

}  // namespace tarvo
