// The value of a record read back from a text log or a session file is the
// value it had when it was committed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/session_file.h"
#include "files/text_log.h"
#include "log/reading_log.h"
#include "log/reading_value.h"

namespace tarvo {
namespace {

struct Shown {
  std::string main_no;
  std::string main_range;
};

const std::vector<Shown> kShown{
    {"0.4254", "DCV AUTO 5.0000 V"},   {"-12.345", "DCV AUTO 50.000 mV"},
    {"OL", "OHM AUTO 500.00 M\u03A9"}, {"-OL", "DCV MANU 5.0000 V"},
    {"5000", "DCV MANU 5000 V"},       {"-0.000", "DCV AUTO 50.000 V"},
    {"49.999", "FRE AUTO 50.000 KHz"}, {"0.0001", "DCA AUTO 500.00 uA"},
};

std::string localised(std::string text, const std::string& separator) {
  for (std::size_t at = text.find('.'); at != std::string::npos; at = text.find('.', at + 1)) {
    text.replace(at, 1, separator);
  }
  return text;
}

ReadingLog committed_log(const std::string& separator) {
  ReadingLog log;
  for (const Shown& s : kShown) {
    CurrentReading reading;
    reading.Main_No = localised(s.main_no, separator);
    reading.Main_Range = localised(s.main_range, separator);
    reading.Sub_No = localised("50.00", separator);
    reading.Sub_range = "FRE 99.999 Hz";
    log.append_reading(reading, LocalTime{2026, 12, 9, 14, 3, 27, 0, 60});
  }
  return log;
}

void expect_same_values(const ReadingLog& committed, const std::vector<real_Record>& read,
                        const std::string& separator) {
  ASSERT_EQ(static_cast<std::int64_t>(read.size()), committed.count());
  ReadingLog opened;
  opened.replace(read);
  for (std::int64_t n = 1; n <= committed.count(); ++n) {
    SCOPED_TRACE(committed[n].Main_No.str());
    const real_Record& was = committed[n];
    for (const real_Record* now : {&read[static_cast<std::size_t>(n - 1)], &opened[n]}) {
      EXPECT_EQ(now->Value, was.Value);
      EXPECT_EQ(main_value(*now, separator), main_value(was, separator));
      EXPECT_EQ(plotted_value(*now, separator), plotted_value(was, separator));
      EXPECT_EQ(overload_sign(*now), overload_sign(was));
    }
  }
}

TEST(ReadingValueFiles, TextLogGivesBackTheCommittedValues) {
  for (const std::string separator : {".", ","}) {
    const ReadingLog log = committed_log(separator);
    const auto read = ParseTextLog(TextLogBytes(log), separator);
    ASSERT_TRUE(read.has_value());
    expect_same_values(log, *read, separator);
  }
}

TEST(ReadingValueFiles, SessionGivesBackTheCommittedValues) {
  for (const std::string separator : {".", ","}) {
    const ReadingLog log = committed_log(separator);
    std::string bytes =
        session_header_text({{2026, 12, 9, 14, 3, 27, 0, 60}, "bench", 1, separator});
    for (std::int64_t n = 1; n <= log.count(); ++n) bytes += session_reading_line(log[n]);
    const auto read = ParseSession(bytes, separator);
    ASSERT_TRUE(read.has_value());
    expect_same_values(log, read->records, separator);
  }
}

// A session written where the separator was a comma, opened where it is a
// point: the texts take the point, and so does the value.
TEST(ReadingValueFiles, SessionOpenedUnderAnotherSeparatorValuesItsNewTexts) {
  const ReadingLog log = committed_log(",");
  std::string bytes = session_header_text({{2026, 12, 9, 14, 3, 27, 0, 60}, "bench", 1, ","});
  for (std::int64_t n = 1; n <= log.count(); ++n) bytes += session_reading_line(log[n]);
  const auto read = ParseSession(bytes, ".");
  ASSERT_TRUE(read.has_value());
  expect_same_values(committed_log("."), read->records, ".");
}

}  // namespace
}  // namespace tarvo
