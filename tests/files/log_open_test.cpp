// Opening a log file straight into a log: the same records as the listed
// readers give, across block edges, and a long session's progress.
#include <gtest/gtest.h>

#include <fstream>

#include "files/log_file.h"
#include "files/session_file.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

using sheet_test::TempFolder;

real_Record session_reading(std::int64_t index) {
  real_Record r;
  r.Index = index;
  const int second = static_cast<int>(index % 86400);
  r.DateTime = LocalTime{2026, 12, 9, second / 3600, second / 60 % 60, second % 60, 0, 60};
  r.Dated = true;
  r.Time.assign(format_hhnnss(r.DateTime));
  r.Main_No.assign(std::to_string(index % 50000));
  r.Main_Range.assign(index % 2 ? "DCV AUTO 50.000 V" : "ACV AUTO 500.00 mV");
  r.Sub_No.assign("50.00");
  r.Sub_range.assign("FRE 99.99 Hz");
  r.Frames = {2, 2, 1.0, 2.0, 1.5};
  return r;
}

std::string session_bytes(std::int64_t count, std::int64_t back_at = 0) {
  std::string bytes =
      session_header_text({LocalTime{2026, 12, 9, 0, 0, 0, 0, 60}, "bench", 1, "."});
  for (std::int64_t n = 1; n <= count; ++n) {
    if (n == back_at) bytes += session_event_line(SessionEvent::MeterBack, LocalTime{});
    bytes += session_reading_line(session_reading(n));
  }
  return bytes;
}

void write_file(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

void expect_same(const ReadingLog& log, const std::vector<real_Record>& records) {
  ASSERT_EQ(log.count(), static_cast<std::int64_t>(records.size()));
  EXPECT_EQ(log.storage_size(), records.size() + ReadingLog::kLoadedHeadroom);
  for (std::size_t i = 0; i < records.size(); ++i) {
    ASSERT_EQ(log[static_cast<std::int64_t>(i) + 1], records[i]) << i;
  }
}

TEST(OpenLogFile, GivesTheRecordsTheListedReadersGive) {
  constexpr std::int64_t kBlock = ReadingLog::kBlockRecords;
  const TempFolder dir;
  for (const std::int64_t count : {std::int64_t{1}, kBlock - 1, kBlock, kBlock + 1}) {
    const auto session = dir / ("s" + std::to_string(count) + std::string(kSessionExtension));
    write_file(session, session_bytes(count, count));
    const std::optional<OpenedLog> opened = OpenLogFile(session, ",");
    ASSERT_TRUE(opened) << count;
    EXPECT_TRUE(opened->from_session);
    expect_same(opened->log, ReadSession(session, ",")->records);
    EXPECT_TRUE(opened->log[count].AfterGap) << count;

    const auto text = dir / ("t" + std::to_string(count) + ".txt");
    ASSERT_TRUE(SaveTextLog(opened->log, text));
    const std::optional<OpenedLog> text_log = OpenLogFile(text, ",");
    ASSERT_TRUE(text_log) << count;
    EXPECT_FALSE(text_log->from_session);
    expect_same(text_log->log, *LoadTextLog(text, ","));
  }
}

TEST(OpenLogFile, RefusesWhatTheListedReadersRefuse) {
  const TempFolder dir;
  const struct {
    const char* name;
    std::string bytes;
    LoadFailure failure;
  } cases[] = {
      {"empty.tarvo-session", session_bytes(0), LoadFailure::WrongFormat},
      {"torn.tarvo-session", session_bytes(3) + "reading\tnot\n", LoadFailure::WrongFormat},
      {"short.txt", "3\r\n1\t10:00:00\t1.0\tDCV AUTO 5.0000 V\t\t\t\r\n", LoadFailure::WrongFormat},
  };
  for (const auto& c : cases) {
    write_file(dir / c.name, c.bytes);
    LoadError why;
    EXPECT_FALSE(OpenLogFile(dir / c.name, ".", {}, &why)) << c.name;
    EXPECT_EQ(why.failure, c.failure) << c.name;
  }
  LoadError why;
  EXPECT_FALSE(OpenLogFile(dir / "missing.txt", ".", {}, &why));
  EXPECT_EQ(why.failure, LoadFailure::Missing);
}

// A long session reports its bytes read as readings of about 100 bytes, from
// 0 to its whole length, and a cancel refuses it.
TEST(OpenLogFile, ASessionReportsItsProgressAndMayBeCancelled) {
  const TempFolder dir;
  const auto file = dir / "long.tarvo-session";
  const std::string bytes = session_bytes(20000);
  write_file(file, bytes);
  std::vector<std::pair<std::int64_t, std::int64_t>> calls;
  const ExportProgress listen = [&calls](std::int64_t done, std::int64_t total) {
    calls.emplace_back(done, total);
    return true;
  };
  ASSERT_TRUE(OpenLogFile(file, ".", listen));
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front().first, 0);
  const auto total = static_cast<std::int64_t>(bytes.size() / 100);
  for (std::size_t i = 1; i < calls.size(); ++i) {
    EXPECT_GT(calls[i].first, calls[i - 1].first);
    EXPECT_LE(calls[i].first, total);
    EXPECT_EQ(calls[i].second, total);
  }

  int left = 2;
  const ExportProgress cancel = [&left](std::int64_t, std::int64_t) { return --left > 0; };
  LoadError why;
  EXPECT_FALSE(OpenLogFile(file, ".", cancel, &why));
  EXPECT_EQ(why.failure, LoadFailure::Cancelled);
}

}  // namespace
}  // namespace tarvo
