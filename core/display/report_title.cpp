#include "display/report_title.h"

#include <cstdio>

#include "log/statistics.h"

namespace tarvo {
namespace {

// Seven significant digits read well beside a 50000-count display; a mean has
// more digits than it can mean.
std::string number_text(double value, std::string_view separator) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%.7g", value);
  std::string text(digits);
  if (const std::size_t point = text.find('.'); point != std::string::npos) {
    text.replace(point, 1, separator);
  }
  return text;
}

std::string date_of(const LocalTime& t) {
  return format_iso_local(t).substr(0, 10);
}

std::string when_text(const real_Record& first, const real_Record& last) {
  if (!first.Dated || !last.Dated) {
    return first.Time.str() + " \u2013 " + last.Time.str();
  }
  std::string text = date_of(first.DateTime) + " " + format_hhnnss(first.DateTime) + " \u2013 ";
  if (date_of(last.DateTime) != date_of(first.DateTime)) text += date_of(last.DateTime) + " ";
  return text + format_hhnnss(last.DateTime);
}

std::string extreme_text(const std::optional<Extreme>& e, const std::string& unit,
                         std::string_view separator) {
  if (!e) return "-";
  return number_text(e->value, separator) + " " + unit + " (" + e->time + ")";
}

}  // namespace

ReportTitle report_title(const ReadingLog& log, const PageBounds& page,
                         std::string_view decimal_separator, const ReportWords& words) {
  ReportTitle title;
  if (page.last < page.first || page.first < 1 || page.last > log.count()) return title;
  const real_Record& first = log[page.first];
  const real_Record& last = log[page.last];
  title.heading = last.Main_Range.str() + "   " + when_text(first, last);
  const RunningStats stats = stats_of(log, page.first, page.last, decimal_separator);
  const std::string unit = run_key_of(last).unit;
  const std::string gap = "     ";
  title.figures = words.count + " " + std::to_string(stats.count()) + gap + words.minimum + " " +
                  extreme_text(stats.min(), unit, decimal_separator) + gap + words.maximum + " " +
                  extreme_text(stats.max(), unit, decimal_separator) + gap + words.mean + " " +
                  (stats.mean() ? number_text(*stats.mean(), decimal_separator) + " " + unit
                                : std::string("-"));
  return title;
}

}  // namespace tarvo
