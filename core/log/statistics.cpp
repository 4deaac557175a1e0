#include "log/statistics.h"

#include <algorithm>
#include <cmath>

#include "log/reading_value.h"

namespace tarvo {

void RunningStats::add(const real_Record& r, std::string_view decimal_separator) {
  if (count_ == 0) {
    first_time_ = r.Time.str();
    first_index_ = r.Index;
  }
  ++count_;
  last_time_ = r.Time.str();
  last_index_ = r.Index;
  if (is_overload(r)) ++overloads_;
  if (r.Frames.numeric > 0) {
    if (!lowest_frame_ || r.Frames.min < lowest_frame_->value) {
      lowest_frame_ = Extreme{r.Frames.min, r.Index, r.Time.str()};
    }
    if (!highest_frame_ || r.Frames.max > highest_frame_->value) {
      highest_frame_ = Extreme{r.Frames.max, r.Index, r.Time.str()};
    }
  }
  const std::optional<double> value = main_value(r, decimal_separator);
  if (!value) return;
  ++numeric_;
  const double delta = *value - mean_;
  mean_ += delta / static_cast<double>(numeric_);
  m2_ += delta * (*value - mean_);
  if (!min_ || *value < min_->value) min_ = Extreme{*value, r.Index, r.Time.str()};
  if (!max_ || *value > max_->value) max_ = Extreme{*value, r.Index, r.Time.str()};
}

std::optional<double> RunningStats::mean() const {
  if (numeric_ == 0) return std::nullopt;
  return mean_;
}

std::optional<double> RunningStats::stddev() const {
  if (numeric_ < 2) return std::nullopt;
  return std::sqrt(m2_ / static_cast<double>(numeric_ - 1));
}

RunKey run_key_of(const real_Record& record) {
  const RunFields f = run_fields(record.Main_Range.view());
  return {std::string(f.function), std::string(f.unit)};
}

std::vector<RunStats> runs_of(const ReadingLog& log, std::int64_t first, std::int64_t last,
                              std::string_view decimal_separator) {
  std::vector<RunStats> runs;
  for (std::int64_t n = std::max<std::int64_t>(first, 1); n <= std::min(last, log.count()); ++n) {
    if (log[n].TestFrame) continue;
    RunKey key = run_key_of(log[n]);
    if (runs.empty() || !(runs.back().key == key)) runs.push_back({std::move(key), {}});
    runs.back().stats.add(log[n], decimal_separator);
  }
  return runs;
}

RunningStats stats_of(const ReadingLog& log, std::int64_t first, std::int64_t last,
                      std::string_view decimal_separator) {
  RunningStats stats;
  for (std::int64_t n = std::max<std::int64_t>(first, 1); n <= std::min(last, log.count()); ++n) {
    if (!log[n].TestFrame) stats.add(log[n], decimal_separator);
  }
  return stats;
}

void LogStatistics::rebuild(const ReadingLog& log, std::string_view decimal_separator) {
  *this = LogStatistics();
  for (std::int64_t n = 1; n <= log.count(); ++n) add(log[n], decimal_separator);
}

void LogStatistics::add(const real_Record& record, std::string_view decimal_separator) {
  ++seen_;
  if (record.TestFrame) return;
  whole_.add(record, decimal_separator);
  RunKey key = run_key_of(record);
  auto group = std::find_if(groups_.begin(), groups_.end(),
                            [&key](const RunStats& g) { return g.key == key; });
  if (group == groups_.end()) group = groups_.insert(groups_.end(), {key, {}});
  group->stats.add(record, decimal_separator);
  if (run_.stats.count() == 0 || !(run_.key == key)) run_ = {std::move(key), {}};
  run_.stats.add(record, decimal_separator);
}

const RunStats* LogStatistics::whole_of(const RunKey& key) const {
  for (const RunStats& group : groups_) {
    if (group.key == key) return &group;
  }
  return nullptr;
}

void StatisticsFollower::reading_committed(const real_Record& record) {
  if (stats_.seen() + 1 == log_.count()) {
    stats_.add(record, separator_);
  } else {
    stats_.rebuild(log_, separator_);
  }
}

const LogStatistics& StatisticsFollower::current() {
  if (stats_.seen() != log_.count()) stats_.rebuild(log_, separator_);
  return stats_;
}

}  // namespace tarvo
