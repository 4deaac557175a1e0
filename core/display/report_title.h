#pragma once

#include <string>
#include <string_view>

#include "display/chart_page.h"
#include "log/reading_log.h"

namespace tarvo {

// The words of the figures line, in the interface language.
struct ReportWords {
  std::string count, minimum, maximum, mean;
};

// The two lines above the chart in the report picture, so that a picture
// taken out of the program still says what it shows.
struct ReportTitle {
  // The newest record's function, range and unit as the meter showed them,
  // then when the page was logged: "DCV AUTO 5.0000 V   2026-12-09 14:03:27 –
  // 14:06:46" (the date again when the page ends on another day; the times
  // alone for records read from a text log, which carry no date).
  std::string heading;
  // "Count 200   Minimum -0.4301 V (14:03:30)   Maximum ...   Mean ... V"
  // over the numbers of the page; overloads count but have no value.
  std::string figures;
};

ReportTitle report_title(const ReadingLog& log, const PageBounds& page,
                         std::string_view decimal_separator, const ReportWords& words);

}  // namespace tarvo
