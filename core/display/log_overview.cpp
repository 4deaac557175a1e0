#include "display/log_overview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace tarvo {

namespace {

constexpr std::int64_t kMinute = 60;
constexpr std::int64_t kHour = 60 * kMinute;
constexpr std::int64_t kDay = 24 * kHour;
constexpr std::int64_t kWeek = 7 * kDay;
// 1970-01-01 was a Thursday; weeks on the axis start on Mondays.
constexpr std::int64_t kFirstMonday = 4 * kDay;

constexpr std::array<std::int64_t, 22> kTimeSteps = {
    1,        2,           5,           10,           15,           30,
    kMinute,  2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute,
    kHour,    2 * kHour,   3 * kHour,   6 * kHour,    12 * kHour,   kDay,
    2 * kDay, kWeek,       2 * kWeek,   30 * kDay};

// Back from days_from_civil (H. Hinnant's civil-date algorithms).
LocalTime civil_from_wall(std::int64_t seconds) {
  std::int64_t days = seconds / kDay;
  std::int64_t rest = seconds % kDay;
  if (rest < 0) {
    rest += kDay;
    --days;
  }
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  LocalTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int>(rest / kHour);
  t.minute = static_cast<int>(rest % kHour / kMinute);
  t.second = static_cast<int>(rest % kMinute);
  return t;
}

std::string date_text(const LocalTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
  return text;
}

std::string clock_text(const LocalTime& t, bool seconds) {
  char text[16];
  if (seconds) {
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  } else {
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
  }
  return text;
}

// 1, 2 or 5 times a power of ten, the smallest at least `raw`.
double nice_step(double raw) {
  if (!(raw > 0) || !std::isfinite(raw)) return 1;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0}) {
    if (m * magnitude >= raw * (1 - 1e-9)) return m * magnitude;
  }
  return 10 * magnitude;
}

// The first record of the view logged at or after `seconds`.
std::int64_t first_at_or_after(const ReadingLog& log, const IndexSpan& view, std::int64_t seconds) {
  std::int64_t low = view.first, high = view.last + 1;
  while (low < high) {
    const std::int64_t mid = low + (high - low) / 2;
    if (wall_seconds(log[mid].DateTime) < seconds) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

std::vector<TimeTick> dated_ticks(const ReadingLog& log, const IndexSpan& view, int max_ticks) {
  const std::int64_t t0 = wall_seconds(log[view.first].DateTime);
  const std::int64_t t1 = wall_seconds(log[view.last].DateTime);
  const std::int64_t step =
      nice_time_step(static_cast<double>(std::max<std::int64_t>(t1 - t0, 1)), max_ticks);
  const std::int64_t origin = step == kWeek || step == 2 * kWeek ? kFirstMonday : 0;
  const std::int64_t from = t0 - origin;
  std::int64_t t = (from >= 0 ? (from + step - 1) / step : from / step) * step + origin;
  std::vector<TimeTick> ticks;
  std::int64_t previous_index = 0, previous_day = 0;
  // The axis runs by reading, not by time: where readings came faster or
  // slower than their interval (a gap, a burst), two round times can fall a
  // few readings apart, and their labels would be drawn over each other.
  const std::int64_t room = std::max<std::int64_t>(view.count() / std::max(max_ticks, 1), 1);
  for (; t <= t1; t += step) {
    const std::int64_t index = first_at_or_after(log, view, t);
    if (index > view.last) break;
    if (index == previous_index) continue;
    if (previous_index != 0 && index - previous_index < room) continue;
    // Across a gap in the log (the meter was stopped) the tick names the
    // record's own time, not the round time that fell into the gap.
    const std::int64_t at = wall_seconds(log[index].DateTime);
    const LocalTime shown = civil_from_wall(at - t >= step ? at : t);
    TimeTick tick{index, {}, {}};
    const std::int64_t day = days_from_civil(shown.year, shown.month, shown.day);
    if (step >= kDay) {
      tick.label = date_text(shown);
    } else {
      tick.label = clock_text(shown, step < kMinute);
      if (ticks.empty() || day != previous_day) tick.date = date_text(shown);
    }
    previous_index = index;
    previous_day = day;
    ticks.push_back(std::move(tick));
  }
  return ticks;
}

std::vector<TimeTick> counted_ticks(const ReadingLog& log, const IndexSpan& view, int max_ticks) {
  const auto step = static_cast<std::int64_t>(
      nice_step(static_cast<double>(view.count()) / std::max(max_ticks, 1)));
  std::vector<TimeTick> ticks;
  for (std::int64_t n = (view.first + step - 1) / step * step; n <= view.last; n += step) {
    ticks.push_back({n, log[n].Time.str(), {}});
  }
  return ticks;
}

}  // namespace

void LogOverview::set_domain(IndexSpan domain) {
  const bool followed = follows() || view_.count() == 0;
  domain_ = domain;
  set_view(followed ? domain : view_);
}

void LogOverview::set_view(IndexSpan view) {
  const std::int64_t whole = domain_.count();
  if (whole == 0) {
    view_ = domain_;
    return;
  }
  const std::int64_t n = std::clamp(view.count(), std::min(kMinSpan, whole), whole);
  const std::int64_t first = std::clamp(view.first, domain_.first, domain_.last - n + 1);
  view_ = {first, first + n - 1};
}

void LogOverview::zoom(double factor, double fraction) {
  const std::int64_t n = view_.count();
  if (n == 0 || !(factor > 0)) return;
  fraction = std::clamp(fraction, 0.0, 1.0);
  const std::int64_t wanted =
      std::clamp<std::int64_t>(std::llround(static_cast<double>(n) * factor),
                               std::min(kMinSpan, domain_.count()), domain_.count());
  const double anchor = static_cast<double>(view_.first) - 0.5 + fraction * static_cast<double>(n);
  const std::int64_t first = std::llround(anchor + 0.5 - fraction * static_cast<double>(wanted));
  set_view({first, first + wanted - 1});
}

void LogOverview::pan(std::int64_t records) {
  set_view({view_.first + records, view_.last + records});
}

IndexSpan scope_domain(OverviewScope scope, std::int64_t count, std::int64_t run_start) {
  if (scope == OverviewScope::CurrentRun && count > 0) return {std::min(run_start, count), count};
  return {1, count};
}

double x_of_record(const IndexSpan& view, int width, std::int64_t index) {
  if (view.count() == 0) return 0;
  return (static_cast<double>(index - view.first) + 0.5) * width /
         static_cast<double>(view.count());
}

std::int64_t record_at(const IndexSpan& view, int width, double x) {
  if (view.count() == 0 || width <= 0) return view.first;
  const auto offset =
      static_cast<std::int64_t>(std::floor(x * static_cast<double>(view.count()) / width));
  return std::clamp(view.first + offset, view.first, view.last);
}

ValueAxis value_axis(const MinMax& envelope, int max_ticks) {
  ValueAxis axis;
  double low = -1, high = 1;
  if (!envelope.empty()) {
    low = static_cast<double>(envelope.min) / 10000;
    high = static_cast<double>(envelope.max) / 10000;
    // A flat line sits in the middle of a band a little wider than the
    // meter's last digit, not on a range of zero height.
    const double margin = high > low ? (high - low) / 20 : std::max(std::abs(high) / 100, 0.001);
    low -= margin;
    high += margin;
  }
  axis.low = low;
  axis.high = high;
  axis.step = nice_step((high - low) / std::max(max_ticks, 1));
  // Each tick as a multiple of the step, so that no sum drifts off 0.1.
  for (double k = std::ceil(low / axis.step); k * axis.step <= high; ++k) {
    axis.ticks.push_back(k == 0 ? 0.0 : k * axis.step);
  }
  return axis;
}

std::int64_t nice_time_step(double span_seconds, int max_ticks) {
  const double wanted = span_seconds / std::max(max_ticks, 1);
  for (std::int64_t step : kTimeSteps) {
    if (static_cast<double>(step) >= wanted) return step;
  }
  return static_cast<std::int64_t>(std::ceil(wanted / kTimeSteps.back())) * kTimeSteps.back();
}

std::vector<TimeTick> time_ticks(const ReadingLog& log, const IndexSpan& view, int max_ticks) {
  if (view.count() == 0 || view.first < 1 || view.last > log.count()) return {};
  if (log[view.first].Dated && log[view.last].Dated) return dated_ticks(log, view, max_ticks);
  return counted_ticks(log, view, max_ticks);
}

std::int64_t wall_seconds(const LocalTime& t) {
  return days_from_civil(t.year, t.month, t.day) * kDay + t.hour * kHour + t.minute * kMinute +
         t.second;
}

}  // namespace tarvo
