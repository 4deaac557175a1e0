#include "log/reading_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

CurrentReading reading(std::string main_no, std::string sub_no = "",
                       std::string main_range = "DCV AUTO 50.000 V", std::string sub_range = "  ") {
  CurrentReading r;
  r.Main_No = std::move(main_no);
  r.Sub_No = std::move(sub_no);
  r.Main_Range = std::move(main_range);
  r.Sub_range = std::move(sub_range);
  return r;
}

const LocalTime kNineOFive{2026, 12, 9, 9, 5, 3, 120};

void append_many(ReadingLog& log, std::int64_t n) {
  const CurrentReading r = reading("1.2345");
  for (std::int64_t i = 0; i < n; ++i) log.append_reading(r, kNineOFive);
}

std::vector<real_Record> loaded_records(std::int64_t n) {
  std::vector<real_Record> records(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) {
    records[static_cast<std::size_t>(i)].Index = i + 1;
    records[static_cast<std::size_t>(i)].Main_No.assign(std::to_string(i + 1));
  }
  return records;
}

TEST(ReadingLog, FirstAppendSizesTheStorageAndFillsElementOne) {
  ReadingLog log;
  const CurrentReading r = reading("123456789012", "50.00", "ACV AUTO 5.0000 V", "FRE 9.9999 KHz");
  EXPECT_EQ(log.append_reading(r, kNineOFive), 1);

  EXPECT_EQ(log.count(), 1);
  EXPECT_EQ(log.storage_size(), 10000u);
  EXPECT_EQ(log[0], real_Record{});
  EXPECT_EQ(log[1].Index, 1);
  EXPECT_EQ(log[1].Main_No.view(), "1234567890");
  EXPECT_EQ(log[1].Sub_No.view(), "50.00");
  EXPECT_EQ(log[1].Main_Range.view(), "ACV AUTO 5.0000 V");
  EXPECT_EQ(log[1].Sub_range.view(), "FRE 9.9999 KHz");
  EXPECT_EQ(log[1].Time.view(), "09:05:03");
}

TEST(ReadingLog, CutsLongTextsWithoutSplittingTheOhmSign) {
  const std::string range34 = "OHM MANUAL 500.00 Mxxxxxxxxxxxxxxx";  // 34 bytes
  ASSERT_EQ(range34.size(), 34u);
  ReadingLog log;
  log.append_reading(
      reading("123456789\xCE\xA9", "1.2345 M\xCE\xA9", range34 + "\xCE\xA9", range34 + "X\xCE\xA9"),
      kNineOFive);
  EXPECT_EQ(log[1].Main_No.view(), "123456789");
  EXPECT_EQ(log[1].Sub_No.view(), "1.2345 M\xCE\xA9");
  EXPECT_EQ(log[1].Main_Range.view(), range34);
  EXPECT_EQ(log[1].Sub_range.view(), range34 + "X");
}

TEST(ReadingLog, SetsTheStorageOnEveryAppendUpToCount1003Only) {
  ReadingLog log;
  for (std::int64_t count = 0; count <= 1003; ++count) {
    log.append_reading(reading("1"), kNineOFive);
    ASSERT_EQ(log.storage_size(), static_cast<std::size_t>(count + 10000)) << count;
  }
  append_many(log, 1);  // 1004 -> 1005
  EXPECT_EQ(log.count(), 1005);
  EXPECT_EQ(log.storage_size(), 11003u);
}

TEST(ReadingLog, FirstAppendAfterResetShortensAndStartsAtOne) {
  ReadingLog log;
  log.append_reading(reading("old", "old"), kNineOFive);
  append_many(log, 30000);
  ASSERT_GT(log.storage_size(), 30001u);

  log.reset_log_counters();
  EXPECT_EQ(log.count(), 0);
  EXPECT_EQ(log.append_reading(reading("new"), kNineOFive), 1);
  EXPECT_EQ(log.storage_size(), 10000u);
  EXPECT_EQ(log[1].Index, 1);
  EXPECT_EQ(log[1].Main_No.view(), "new");
  EXPECT_EQ(log[1].Sub_No.view(), "");
}

TEST(ReadingLog, ReplaceLoadsRecordsAndAppendsContinueWithoutResize) {
  ReadingLog log;
  append_many(log, 50);
  log.replace(loaded_records(2000));
  EXPECT_EQ(log.count(), 2000);
  EXPECT_EQ(log.storage_size(), 2005u);
  EXPECT_EQ(log[1].Main_No.view(), "1");
  EXPECT_EQ(log[2000].Main_No.view(), "2000");

  EXPECT_EQ(log.append_reading(reading("next"), kNineOFive), 2001);
  EXPECT_EQ(log.storage_size(), 2005u);
  EXPECT_EQ(log[2001].Main_No.view(), "next");
  EXPECT_EQ(log[2000].Main_No.view(), "2000");
}

TEST(ReadingLog, ReplaceWithAShortLogResizesAtTheNextAppend) {
  ReadingLog log;
  log.replace(loaded_records(10));
  EXPECT_EQ(log.storage_size(), 15u);
  EXPECT_EQ(log.append_reading(reading("x"), kNineOFive), 11);
  EXPECT_EQ(log.storage_size(), 10010u);
  EXPECT_EQ(log[10].Main_No.view(), "10");
}

// The storage used to end 4 records past a loaded log and after 11002
// uninterrupted readings; both must keep growing without losing records.
TEST(ReadingLog, GrowsPastTheEndOfTheStorage) {
  struct Case {
    std::int64_t loaded;
    std::int64_t appended;
  };
  for (const Case c : {Case{0, 11010}, Case{1004, 20}, Case{5000, 9000}}) {
    SCOPED_TRACE(c.loaded);
    ReadingLog log;
    if (c.loaded > 0) log.replace(loaded_records(c.loaded));
    append_many(log, c.appended);
    const std::int64_t total = c.loaded + c.appended;
    ASSERT_EQ(log.count(), total);
    EXPECT_GT(log.storage_size(), static_cast<std::size_t>(total));
    for (std::int64_t n = c.loaded + 1; n <= total; ++n) ASSERT_EQ(log[n].Index, n);
    if (c.loaded > 0) {
      EXPECT_EQ(log[c.loaded].Main_No.view(), std::to_string(c.loaded));
    }
    EXPECT_EQ(log[0], real_Record{});
  }
}

TEST(ReadingLog, HoldsMoreThanAWeekOfOneSecondReadings) {
  ReadingLog log;
  const CurrentReading r = reading("-12.345", "60.00", "DCV AUTO 50.000 V", "FRE 99.99 Hz");
  for (std::int64_t n = 1; n <= 700000; ++n) ASSERT_EQ(log.append_reading(r, kNineOFive), n);
  EXPECT_EQ(log[700000].Index, 700000);
  EXPECT_EQ(log[700000].Sub_range.view(), "FRE 99.99 Hz");
  EXPECT_EQ(log[11003].Index, 11003);
  EXPECT_EQ(log[1].Main_No.view(), "-12.345");
}

// Records sit in blocks of a fixed size; each record must be found again at
// the edges of its block, whether it was appended, loaded or appended after a
// Reset or a load.
TEST(ReadingLog, FindsEveryRecordAtTheEdgesOfItsBlock) {
  constexpr std::int64_t kBlock = ReadingLog::kBlockRecords;
  struct Case {
    const char* name;
    std::int64_t loaded;    // records given by a load first
    std::int64_t before;    // appended before a Reset (none when 0)
    std::int64_t appended;  // appended last
  };
  const Case cases[] = {
      {"appended", 0, 0, 2 * kBlock + 1},
      {"appended after a reset", 0, kBlock + 7, 2 * kBlock + 1},
      {"loaded", 2 * kBlock + 1, 0, 0},
      {"appended after a load", kBlock - 1, 0, kBlock + 2},
      {"loaded to a block's end", kBlock - 1, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReadingLog log;
    if (c.before > 0) {
      append_many(log, c.before);
      log.reset_log_counters();
    }
    if (c.loaded > 0) log.replace(loaded_records(c.loaded));
    for (std::int64_t n = c.loaded + 1; n <= c.loaded + c.appended; ++n) {
      ASSERT_EQ(log.append_reading(reading(std::to_string(n)), kNineOFive), n);
    }
    const std::int64_t total = c.loaded + c.appended;
    ASSERT_EQ(log.count(), total);
    EXPECT_EQ(log[0], real_Record{});
    for (const std::int64_t n : {std::int64_t{1}, kBlock - 1, kBlock, kBlock + 1, 2 * kBlock - 1,
                                 2 * kBlock, 2 * kBlock + 1, total}) {
      if (n > total) continue;
      SCOPED_TRACE(n);
      EXPECT_EQ(log[n].Index, n);
      EXPECT_EQ(log[n].Main_No.view(), std::to_string(n));
    }
  }
}

// A record once appended stays where it is: a reference taken early still
// names it after the log has grown by many blocks.
TEST(ReadingLog, NeverMovesARecord) {
  ReadingLog log;
  log.append_reading(reading("first"), kNineOFive);
  const real_Record* first = &log[1];
  append_many(log, 5 * ReadingLog::kBlockRecords);
  EXPECT_EQ(&log[1], first);
  EXPECT_EQ(first->Main_No.view(), "first");
}

}  // namespace
}  // namespace tarvo
