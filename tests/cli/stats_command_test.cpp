// tarvo-cli stats on a fixed log: the JSON lines byte for byte.
#include "stats_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "files/text_log.h"
#include "sheet_test_log.h"

namespace tarvo::cli {
namespace {

using sheet_test::record;

TEST(StatsCommand, PrintsEachRunThenTheWholeLog) {
  sheet_test::TempFolder dir;
  ReadingLog log;
  log.replace({record(1, "01:02:03", "3.2991", "DCV AUTO 5.0000 V"),
               record(2, "01:02:04", "OL", "DCV AUTO 5.0000 V"),
               record(3, "01:02:05", "3.3102", "DCV AUTO 5.0000 V"),
               record(4, "01:02:06", "12.5", "ACV AUTO 50.000 V")});
  ASSERT_TRUE(SaveTextLog(log, dir / "log.txt"));
  std::ostringstream out, err;
  const int status =
      run_stats({(dir / "log.txt").string(), "--json", "--decimal-separator", "."}, out, err);
  EXPECT_EQ(status, 0) << err.str();
  EXPECT_EQ(
      out.str(),
      R"({"scope":"run","first_index":1,"last_index":3,"function":"DCV","unit":"V","count":3,)"
      R"("numeric":2,"overloads":1,"min":3.2991,"max":3.3102,"mean":3.30465,)"
      R"("stddev":0.007848885271170598,"min_time":"01:02:03","max_time":"01:02:05"})"
      "\n"
      R"({"scope":"run","first_index":4,"last_index":4,"function":"ACV","unit":"V","count":1,)"
      R"("numeric":1,"overloads":0,"min":12.5,"max":12.5,"mean":12.5,"stddev":null,)"
      R"("min_time":"01:02:06","max_time":"01:02:06"})"
      "\n"
      R"({"scope":"log","first_index":1,"last_index":4,"function":null,"unit":null,"count":4,)"
      R"("numeric":3,"overloads":1,"min":3.2991,"max":12.5,"mean":6.369766666666667,)"
      R"("stddev":5.308940698796072,"min_time":"01:02:03","max_time":"01:02:06"})"
      "\n");
  std::ostringstream none;
  EXPECT_EQ(run_stats({(dir / "missing.txt").string()}, none, err), 1);
  EXPECT_EQ(run_stats({}, none, err), 2);
}

}  // namespace
}  // namespace tarvo::cli
