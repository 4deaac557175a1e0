#include "display/report_title.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display_test_log.h"

namespace tarvo {
namespace {

const ReportWords kWords{"Count", "Minimum", "Maximum", "Mean"};

ReadingLog dated(ReadingLog log, const std::vector<LocalTime>& times) {
  std::vector<real_Record> records;
  for (std::int64_t n = 1; n <= log.count(); ++n) records.push_back(log[n]);
  for (std::size_t i = 0; i < times.size(); ++i) {
    records[i].DateTime = times[i];
    records[i].Dated = true;
  }
  log.replace(std::move(records));
  return log;
}

TEST(ReportTitle, SaysWhatAndWhenAndTheFiguresOfThePage) {
  const ReadingLog three = log_of({{"1,5", "DCV AUTO 5,0000 V", "23:59:58"},
                                   {"-OL", "DCV AUTO 5,0000 V", "23:59:59"},
                                   {"2,25", "DCV AUTO 5,0000 V", "00:00:00"}});
  struct Case {
    const char* name;
    ReadingLog log;
    std::string heading;
  };
  const Case cases[] = {
      {"a text log's times", three, "DCV AUTO 5,0000 V   23:59:58 \u2013 00:00:00"},
      {"the date once within a day",
       dated(three, {{2026, 12, 9, 10, 0, 1}, {2026, 12, 9, 10, 0, 2}, {2026, 12, 9, 11, 0, 3}}),
       "DCV AUTO 5,0000 V   2026-12-09 10:00:01 \u2013 11:00:03"},
      {"the date again across midnight",
       dated(three,
             {{2026, 12, 9, 23, 59, 58}, {2026, 12, 9, 23, 59, 59}, {2026, 12, 10, 0, 0, 0}}),
       "DCV AUTO 5,0000 V   2026-12-09 23:59:58 \u2013 2026-12-10 00:00:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReportTitle title = report_title(c.log, {1, 3}, ",", kWords);
    EXPECT_EQ(title.heading, c.heading);
    EXPECT_EQ(
        title.figures,
        "Count 3     Minimum 1,5 V (23:59:58)     Maximum 2,25 V (00:00:00)     Mean 1,875 V");
  }
}

TEST(ReportTitle, OnlyOverloadsAndNoPage) {
  const ReadingLog log = log_of({{"OL", "OHM AUTO 50,000 M\u03A9", "10:00:00"}});
  EXPECT_EQ(report_title(log, {1, 1}, ",", kWords).figures,
            "Count 1     Minimum -     Maximum -     Mean -");
  EXPECT_EQ(report_title(log, {1, 0}, ",", kWords).heading, "");
}

}  // namespace
}  // namespace tarvo
