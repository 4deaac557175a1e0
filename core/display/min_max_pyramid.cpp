#include "display/min_max_pyramid.h"

#include <algorithm>

#include "log/reading_value.h"

namespace tarvo {

void MinMaxPyramid::clear() {
  levels_.clear();
}

std::int64_t MinMaxPyramid::size() const {
  return levels_.empty() ? 0 : static_cast<std::int64_t>(levels_.front().size());
}

void MinMaxPyramid::append(std::optional<std::int64_t> value) {
  if (levels_.empty()) levels_.emplace_back();
  MinMax entry;
  if (value) entry.add(*value);
  levels_.front().push_back(entry);
  // Each completed block is summarised one level up, which may complete a
  // block there in turn.
  for (std::size_t k = 0; levels_[k].size() % kFanOut == 0; ++k) {
    if (k + 1 == levels_.size()) levels_.emplace_back();
    MinMax block;
    const auto& below = levels_[k];
    for (auto it = below.end() - kFanOut; it != below.end(); ++it) block.add(*it);
    levels_[k + 1].push_back(block);
  }
}

MinMax MinMaxPyramid::envelope(std::int64_t begin, std::int64_t end) const {
  MinMax result;
  begin = std::max<std::int64_t>(begin, 0);
  end = std::min(end, size());
  // The ragged ends of the stretch are taken entry by entry on each level;
  // what lies between them is whole blocks of the level above.
  for (std::size_t k = 0; begin < end && k < levels_.size(); ++k) {
    const auto& level = levels_[k];
    while (begin < end && begin % kFanOut != 0) result.add(level[begin++]);
    while (begin < end && end % kFanOut != 0) result.add(level[--end]);
    if (begin < end && k + 1 == levels_.size()) {
      while (begin < end) result.add(level[begin++]);
    }
    begin /= kFanOut;
    end /= kFanOut;
  }
  return result;
}

std::vector<MinMax> MinMaxPyramid::columns(std::int64_t begin, std::int64_t end,
                                           int columns) const {
  std::vector<MinMax> result(static_cast<std::size_t>(std::max(columns, 0)));
  const std::int64_t length = std::max<std::int64_t>(end - begin, 0);
  for (int c = 0; c < columns; ++c) {
    const std::int64_t from = begin + length * c / columns;
    const std::int64_t to = begin + length * (c + 1) / columns;
    result[static_cast<std::size_t>(c)] = envelope(from, to);
  }
  return result;
}

void LogPyramid::reading_committed(const real_Record&) {
  catch_up();
}

void LogPyramid::rebuild() {
  keyed_.clear();
  newest_ = 0;
  seen_ = 0;
  last_reading_ = 0;
  run_start_ = 1;
  for (std::int64_t n = 1; n <= log_.count(); ++n) take(n);
}

const MinMaxPyramid& LogPyramid::pyramid() {
  catch_up();
  return keyed_.empty() ? empty_ : keyed_[newest_].pyramid;
}

std::string LogPyramid::unit() {
  catch_up();
  return keyed_.empty() ? std::string() : keyed_[newest_].unit;
}

std::int64_t LogPyramid::run_start() {
  catch_up();
  return run_start_;
}

// One record more than was followed is a commit; any other count means the
// log was replaced or emptied since.
void LogPyramid::catch_up() {
  if (seen_ == log_.count()) return;
  if (seen_ + 1 == log_.count()) {
    take(log_.count());
  } else {
    rebuild();
  }
}

// A function and unit seen for the first time gets its pyramid, empty up to
// record n; that happens once for each, however long the log.
LogPyramid::Keyed& LogPyramid::keyed_for(std::string_view function_key, std::string_view unit,
                                         std::int64_t n) {
  for (Keyed& keyed : keyed_) {
    if (keyed.function_key == function_key && keyed.unit == unit) return keyed;
  }
  Keyed& added = keyed_.emplace_back(Keyed{std::string(function_key), std::string(unit), {}});
  for (std::int64_t k = 1; k < n; ++k) added.pyramid.append(std::nullopt);
  return added;
}

void LogPyramid::take(std::int64_t n) {
  seen_ = n;
  const real_Record& record = log_[n];
  if (record.TestFrame) {
    for (Keyed& keyed : keyed_) keyed.pyramid.append(std::nullopt);
    return;
  }
  const RunFields now = run_fields(record.Main_Range.view());
  Keyed& mine = keyed_for(now.function, now.unit, n);
  for (Keyed& keyed : keyed_) {
    keyed.pyramid.append(&keyed == &mine ? plotted_value(record, separator_) : std::nullopt);
  }
  const auto index = static_cast<std::size_t>(&mine - keyed_.data());
  if (last_reading_ > 0 && index != newest_) run_start_ = n;
  newest_ = index;
  last_reading_ = n;
}

}  // namespace tarvo
