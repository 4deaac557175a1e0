#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "log/limits.h"
#include "note_list.h"

namespace tarvo {

// The readings of one excursion outside a limit; `last` is 0 while it lasts.
struct ReadingSpan {
  std::int64_t first = 0;
  std::int64_t last = 0;
  friend bool operator==(const ReadingSpan&, const ReadingSpan&) = default;
};

// The excursions of the log in the window, as the alarms start and end.
class ExcursionSpans {
 public:
  void start(std::int64_t first) { spans_.push_back({first, 0}); }
  // The excursion that lasts ended with the reading before `back_inside`.
  void end(std::int64_t back_inside) {
    if (!spans_.empty() && spans_.back().last == 0) spans_.back().last = back_inside - 1;
  }
  void clear() { spans_.clear(); }
  const std::vector<ReadingSpan>& spans() const { return spans_; }
  // Whether reading n is in one of them (they come in the log's order).
  bool covers(std::int64_t n) const {
    auto after = std::upper_bound(spans_.begin(), spans_.end(), n,
                                  [](std::int64_t x, const ReadingSpan& s) { return x < s.first; });
    if (after == spans_.begin()) return false;
    --after;
    return after->last == 0 || n <= after->last;
  }

 private:
  std::vector<ReadingSpan> spans_;
};

// What the chart draws over its line; each owned elsewhere, nullptr for none.
struct ChartMarks {
  const NoteList* notes = nullptr;
  const Limits* limits = nullptr;
  const ExcursionSpans* excursions = nullptr;
};

}  // namespace tarvo
