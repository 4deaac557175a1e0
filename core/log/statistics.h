#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/commit_listener.h"
#include "log/reading_log.h"

namespace tarvo {

// Where an extreme was: the record's number and its time of day.
struct Extreme {
  double value = 0;
  std::int64_t index = 0;
  std::string time;
};

// Count, extremes, mean and the sample standard deviation of a stretch of
// records, kept as running sums so one more record costs the same however
// many came before (Welford's method for the deviation, which keeps its
// precision where the values are large and their spread small).
class RunningStats {
 public:
  void add(const real_Record& record, std::string_view decimal_separator);

  std::int64_t count() const { return count_; }
  std::int64_t numeric() const { return numeric_; }
  std::int64_t overloads() const { return overloads_; }
  std::optional<Extreme> min() const { return min_; }
  std::optional<Extreme> max() const { return max_; }
  // The lowest and highest frame between the readings (see FrameFigures).
  std::optional<Extreme> lowest_frame() const { return lowest_frame_; }
  std::optional<Extreme> highest_frame() const { return highest_frame_; }
  std::optional<double> mean() const;
  std::optional<double> stddev() const;  // below two values: none
  const std::string& first_time() const { return first_time_; }
  const std::string& last_time() const { return last_time_; }
  std::int64_t first_index() const { return first_index_; }
  std::int64_t last_index() const { return last_index_; }

 private:
  std::int64_t count_ = 0, numeric_ = 0, overloads_ = 0;
  double mean_ = 0, m2_ = 0;
  std::optional<Extreme> min_, max_, lowest_frame_, highest_frame_;
  std::string first_time_, last_time_;
  std::int64_t first_index_ = 0, last_index_ = 0;
};

// What a run has in common: a longest stretch of consecutive records that
// the chart draws on one page together, of the same function and unit.
struct RunKey {
  std::string function;  // "DCV", without the chart key's space
  std::string unit;      // "V"
  friend bool operator==(const RunKey&, const RunKey&) = default;
};
RunKey run_key_of(const real_Record& record);

struct RunStats {
  RunKey key;
  RunningStats stats;
};

// The runs of records first..last in log order, each with its figures; test
// frames neither count nor break a run.
std::vector<RunStats> runs_of(const ReadingLog& log, std::int64_t first, std::int64_t last,
                              std::string_view decimal_separator);

// The figures of records first..last, whatever their functions; test frames
// left out.
RunningStats stats_of(const ReadingLog& log, std::int64_t first, std::int64_t last,
                      std::string_view decimal_separator);

// The figures the Statistics window follows as the log grows: the current run
// (the newest records of one function and unit) and the whole log, both kept
// up to date at a constant cost per commit. The whole log is grouped by
// function and unit, as a mean over volts and ohms means nothing. Test frames
// typed by hand are no readings of the meter and are left out of all of them.
class LogStatistics {
 public:
  // Starts again from the log as it is (after a load or a reset).
  void rebuild(const ReadingLog& log, std::string_view decimal_separator);
  // The log gained its newest record.
  void add(const real_Record& record, std::string_view decimal_separator);

  const RunningStats& whole() const { return whole_; }  // all functions together
  // The whole log's figures of one function and unit; nullptr when it has none.
  const RunStats* whole_of(const RunKey& key) const;
  // One per function and unit, in the order they first came.
  const std::vector<RunStats>& groups() const { return groups_; }
  const RunStats& current_run() const { return run_; }
  std::int64_t seen() const { return seen_; }  // the records taken in so far

 private:
  RunningStats whole_;
  std::vector<RunStats> groups_;
  RunStats run_;
  std::int64_t seen_ = 0;
};

// LogStatistics kept up to date with a log: told of each commit, and built
// again from the log when it was replaced or emptied meanwhile.
class StatisticsFollower final : public CommitListener {
 public:
  StatisticsFollower(const ReadingLog& log, const std::string& decimal_separator)
      : log_(log), separator_(decimal_separator) {}
  void reading_committed(const real_Record& record) override;
  const LogStatistics& current();

 private:
  const ReadingLog& log_;
  const std::string& separator_;
  LogStatistics stats_;
};

}  // namespace tarvo
