#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/min_max_pyramid.h"
#include "log/reading_log.h"

namespace tarvo {

// Records first..last, numbered from 1; empty when last < first.
struct IndexSpan {
  std::int64_t first = 1;
  std::int64_t last = 0;

  std::int64_t count() const { return last >= first ? last - first + 1 : 0; }
  friend bool operator==(const IndexSpan&, const IndexSpan&) = default;
};

enum class OverviewScope { WholeLog, CurrentRun };

// What the overview shows of the log: the records its scope covers (the
// domain) and the stretch of them on display (the view), zoomed and panned
// by the user. While the view is the whole domain it follows the log as it
// grows; once zoomed in it stays on the records chosen.
class LogOverview {
 public:
  // Zooming in stops at this many records, few enough to see single readings.
  static constexpr std::int64_t kMinSpan = 10;

  // The scope now covers these records (after a commit, a load, a switch).
  void set_domain(IndexSpan domain);
  // The view, clamped into the domain and kept at least kMinSpan long.
  void set_view(IndexSpan view);
  void show_all() { set_view(domain_); }

  // Scales the view's length by factor (below 1 zooms in), keeping the
  // moment at `fraction` of the plot's width (0 left, 1 right) in place.
  void zoom(double factor, double fraction);
  // Moves the view by this many records (positive: to later records).
  void pan(std::int64_t records);

  const IndexSpan& domain() const { return domain_; }
  const IndexSpan& view() const { return view_; }
  bool follows() const { return view_ == domain_; }

 private:
  IndexSpan domain_, view_;
};

// The records a scope covers: the whole log, or its newest run.
IndexSpan scope_domain(OverviewScope scope, std::int64_t count, std::int64_t run_start);

// The view's records spread evenly over a plot `width` pixels wide: each
// record takes width / count pixels, centred on its x.
double x_of_record(const IndexSpan& view, int width, std::int64_t index);
// The record under pixel x, clamped into the view.
std::int64_t record_at(const IndexSpan& view, int width, double x);

// A labelled tick of the value axis (in the unit shown) or of the time axis.
struct ValueAxis {
  double low = 0, high = 1;  // the plot's bottom and top
  double step = 1;
  std::vector<double> ticks;
};
// From the envelope of the view with a margin of a twentieth of its height
// on either side, so a drift fills the plot and a spike does not touch its
// edges; ticks at 1, 2 or 5 times a power of ten, at most max_ticks.
ValueAxis value_axis(const MinMax& envelope, int max_ticks);

struct TimeTick {
  std::int64_t index = 0;  // the record the tick stands at
  std::string label;       // "14:00", "14:00:30", "2026-12-09"
  std::string date;        // the date under the first tick of each day; empty else
};

// A step of the time axis, in seconds, from 1 s to 30 days, that cuts a span
// of span_seconds into at most max_ticks parts.
std::int64_t nice_time_step(double span_seconds, int max_ticks);

// The ticks of the time axis for the view: at round local times (whole
// minutes, hours, midnights) when the view's records are dated; otherwise,
// for the records of a text log, which keep only their time of day, at a
// round count of records, labelled with the record's time text. Record times
// are taken to rise through the log; a clock set back only moves ticks.
std::vector<TimeTick> time_ticks(const ReadingLog& log, const IndexSpan& view, int max_ticks);

// Local wall-clock seconds since 1970-01-01 00:00 of the same zone.
std::int64_t wall_seconds(const LocalTime& t);

}  // namespace tarvo
