#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "files/text_log.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

using namespace sheet_test;

using Calls = std::vector<std::pair<std::int64_t, std::int64_t>>;

ExportProgress recorder(Calls& calls, std::size_t cancel_at = 0) {
  return [&calls, cancel_at](std::int64_t done, std::int64_t total) {
    calls.emplace_back(done, total);
    return cancel_at == 0 || calls.size() < cancel_at;
  };
}

TEST(TextLogProgress, SaveReportsFromZeroToTheTotal) {
  const TempFolder folder;
  Calls calls;
  ASSERT_TRUE(SaveTextLog(numbered_log(10000), folder / "log.txt", nullptr, recorder(calls)));
  EXPECT_EQ(calls, (Calls{{0, 10000}, {4096, 10000}, {8192, 10000}, {10000, 10000}}));
}

TEST(TextLogProgress, CancelledSaveKeepsTheEarlierFile) {
  const TempFolder folder;
  std::ofstream(folder / "log.txt") << "old";
  Calls calls;
  std::string error;
  EXPECT_FALSE(SaveTextLog(numbered_log(10000), folder / "log.txt", &error, recorder(calls, 2)));
  EXPECT_EQ(error, "the save was cancelled");
  EXPECT_EQ(read_bytes(folder / "log.txt"), "old");
  EXPECT_EQ(folder.entries(), 1u);
}

TEST(TextLogProgress, LoadReportsEveryRecordChecked) {
  const std::string bytes = TextLogBytes(numbered_log(5000));
  Calls calls;
  const auto records = ParseTextLog(bytes, ".", recorder(calls));
  ASSERT_TRUE(records);
  EXPECT_EQ(records->size(), 5000u);
  EXPECT_EQ(calls, (Calls{{0, 5000}, {4096, 5000}, {5000, 5000}}));
}

TEST(TextLogProgress, CancelledLoadRefusesTheFile) {
  Calls calls;
  EXPECT_FALSE(ParseTextLog(TextLogBytes(numbered_log(5000)), ".", recorder(calls, 2)));
}

// Readings committed while the progress callback lets the window run belong
// to the next save; the count line must still match the lines written.
TEST(TextLogProgress, CountLineAgreesWithTheRecordsWhileTheLogGrows) {
  ReadingLog log = numbered_log(9000);
  CurrentReading reading;
  reading.Main_No = "1.5";
  reading.Main_Range = "DCV AUTO 5.0000 V";
  std::string bytes;
  const ExportProgress grow = [&](std::int64_t, std::int64_t) {
    log.append_reading(reading, LocalTime{});
    return true;
  };
  ASSERT_TRUE(WriteTextLog(
      log,
      [&bytes](std::string_view piece) {
        bytes += piece;
        return true;
      },
      grow));
  EXPECT_GT(log.count(), 9000);
  const auto records = ParseTextLog(bytes, ".");
  ASSERT_TRUE(records);
  EXPECT_EQ(records->size(), 9000u);
  EXPECT_EQ(bytes, TextLogBytes(numbered_log(9000)));
}

}  // namespace
}  // namespace tarvo
