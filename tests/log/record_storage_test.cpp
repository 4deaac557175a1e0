#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "log/reading_log.h"
#include "log/record_time.h"
#include "log/text_pool.h"

namespace tarvo {
namespace {

// Pooled texts read back exactly as FixedText of the same capacity keeps them.
TEST(PooledText, KeepsWhatAFixedTextOfTheSameCapacityKeeps) {
  const std::string at35(35, 'r');
  const std::string ohm34 = std::string(34, 'x') + "\xCE\xA9";  // the sign would cross 35
  const struct {
    std::string text;
  } cases[] = {{""}, {"DCV AUTO 50.000 V"}, {at35}, {at35 + "z"}, {ohm34}, {"\xCE\xA9"}};
  for (const auto& c : cases) {
    const PooledText<35> pooled(c.text);
    const FixedText<35> fixed(c.text);
    EXPECT_EQ(pooled.view(), fixed.view()) << c.text;
    EXPECT_EQ(pooled.size(), fixed.size()) << c.text;
    EXPECT_EQ(pooled.empty(), fixed.empty()) << c.text;
    EXPECT_EQ(pooled.str(), fixed.str()) << c.text;
  }
}

TEST(PooledText, ATextInternedTwiceIsKeptOnce) {
  const std::uint32_t first = text_pool::intern("FRE 9.9999 KHz twice");
  const std::uint32_t held = text_pool::size();
  EXPECT_EQ(text_pool::intern(std::string("FRE 9.9999 KHz twice")), first);
  EXPECT_EQ(text_pool::size(), held);
  EXPECT_EQ(PooledText<35>("FRE 9.9999 KHz twice"), PooledText<35>("FRE 9.9999 KHz twice"));
  EXPECT_FALSE(PooledText<35>("FRE 9.9999 KHz") == PooledText<35>("FRE 9.9999 Hz"));
  // Cut to their capacity, two texts are one.
  EXPECT_EQ(PooledText<15>("09:05:03 and more"), PooledText<15>("09:05:03 and mo"));
  EXPECT_EQ(text_pool::intern(""), 0u);
}

// Views stay where they are while other threads add texts.
TEST(PooledText, ViewsStayValidWhileOtherThreadsAddTexts) {
  const PooledText<35> early("ACV AUTO 500.00 mV early");
  const std::string_view view = early.view();
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 20000; ++i) {
        const std::string text = "pool " + std::to_string(t) + " " + std::to_string(i);
        if (PooledText<35>(text).view() != text) std::abort();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(view.data(), early.view().data());
  EXPECT_EQ(PooledText<35>("pool 1 19999").view(), "pool 1 19999");
}

TEST(RecordTime, ReadsBackEveryMomentItWasGiven) {
  const LocalTime cases[] = {
      {},
      {2026, 12, 9, 9, 5, 3, 120, 60},
      {2026, 12, 31, 23, 59, 59, 999, 840},    // +14:00
      {2026, 1, 1, 0, 0, 0, 0, -720},          // -12:00
      {9999, 12, 31, 23, 59, 60, 999, -1439},  // a leap second, the farthest offset read
      {0, 2, 29, 12, 30, 30, 500, 1439},
      {-1, 6, 15, 1, 2, 3, 4, -1},
  };
  for (const LocalTime& t : cases) {
    const RecordTime packed(t);
    EXPECT_TRUE(packed.local() == t)
        << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":" << t.minute << ":"
        << t.second << "." << t.millisecond << " " << t.utc_offset_minutes;
  }
  EXPECT_FALSE(RecordTime(cases[1]) == RecordTime(cases[2]));
}

real_Record loaded(std::int64_t index) {
  real_Record r;
  r.Index = index;
  r.Main_No.assign(std::to_string(index));
  r.Main_Range.assign("DCV AUTO 50.000 V");
  r.Time.assign("10:00:0" + std::to_string(index % 10));
  r.DateTime = LocalTime{2026, 12, 9, 10, 0, static_cast<int>(index % 60), 0, 60};
  r.Dated = index % 2 == 0;
  r.TestFrame = index % 3 == 0;
  r.AfterGap = index % 5 == 0;
  r.Frames = {3, 3, 1.0, 2.0, 1.5};
  return r;
}

// A loaded log holds each record as it was read, across the edges of its blocks.
TEST(ReadingLog, AppendLoadedKeepsRecordsAcrossBlockEdges) {
  constexpr std::int64_t kBlock = ReadingLog::kBlockRecords;
  const std::int64_t cases[] = {1, kBlock - 1, kBlock, kBlock + 1, 2 * kBlock + 1};
  for (const std::int64_t count : cases) {
    ReadingLog log;
    log.append_reading({}, LocalTime{});  // an earlier log the load replaces
    log.reset_log_counters();
    for (std::int64_t n = 1; n <= count; ++n) log.append_loaded(loaded(n));
    ASSERT_EQ(log.count(), count);
    EXPECT_EQ(log.storage_size(), static_cast<std::size_t>(count) + ReadingLog::kLoadedHeadroom);
    EXPECT_EQ(log[0], real_Record{}) << count;
    for (const std::int64_t n : {std::int64_t{1}, kBlock - 1, kBlock, kBlock + 1, count}) {
      if (n <= count) {
        EXPECT_EQ(log[n], loaded(n)) << n << " of " << count;
      }
    }
  }
}

// A record of an undated text log keeps its own Time text; a dated one keeps
// both, as they were given.
TEST(ReadingLog, UndatedRecordsKeepTheirOwnTime) {
  ReadingLog log;
  real_Record undated;
  undated.Index = 7;
  undated.Time.assign("25:61:99 odd");
  log.append_loaded(std::move(undated));
  log.append_reading({}, LocalTime{2026, 12, 9, 9, 5, 3, 0, 60});
  EXPECT_EQ(log[1].Time.view(), "25:61:99 odd");
  EXPECT_FALSE(log[1].Dated);
  EXPECT_EQ(log[2].Time.view(), "09:05:03");
  EXPECT_TRUE(log[2].Dated);
  EXPECT_TRUE(static_cast<LocalTime>(log[2].DateTime) == (LocalTime{2026, 12, 9, 9, 5, 3, 0, 60}));
}

}  // namespace
}  // namespace tarvo
