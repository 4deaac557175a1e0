#include "files/text_log.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sheet_test_log.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

constexpr char kOhm[] = "\u03A9";

real_Record record(std::int64_t index, std::string_view main_no, std::string_view main_range,
                   std::string_view sub_no = "", std::string_view sub_range = "",
                   std::string_view time = "09:05:03") {
  return sheet_test::record(index, time, main_no, main_range, sub_no, sub_range);
}

ReadingLog log_of(std::vector<real_Record> records) {
  ReadingLog log;
  log.replace(std::move(records));
  return log;
}

ReadingLog numbered_log(int n) {
  std::vector<real_Record> records;
  for (int i = 1; i <= n; ++i) {
    records.push_back(record(i, std::to_string(i) + ".5", "DCV AUTO 5000.0 V"));
  }
  return log_of(std::move(records));
}

std::string read_bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void write_bytes(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

class TextLogFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tarvo-text-log-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // What the folder holds, so a left-behind temporary file shows up.
  std::vector<std::string> folder_listing(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

TEST_F(TextLogFiles, OneRecordFileBytes) {
  const fs::path file = dir_ / "one.txt";
  ASSERT_TRUE(SaveTextLog(
      log_of({record(-3, "-0.4254", "OHM AUTO 5.0000 M"s + kOhm, "50.00", "  ", " 09:05:03")}),
      file));
  EXPECT_EQ(read_bytes(file),
            "1\r\n-3\t 09:05:03\t-0.4254\tOHM AUTO 5.0000 M\xCE\xA9\t50.00\t  \t\r\n\r\n\r\n");
}

class TextLogSaveLayout : public TextLogFiles, public ::testing::WithParamInterface<int> {};

// Independent of the writer's blocks: the count line, one line per record and,
// unless the count is a multiple of 100, two empty lines.
std::string expected_file(int n) {
  std::string bytes = std::to_string(n) + "\r\n";
  for (int i = 1; i <= n; ++i) {
    bytes +=
        std::to_string(i) + "\t09:05:03\t" + std::to_string(i) + ".5\tDCV AUTO 5000.0 V\t\t\t\r\n";
  }
  if (n % 100 != 0) bytes += "\r\n\r\n";
  return bytes;
}

TEST_P(TextLogSaveLayout, FileBytes) {
  const fs::path file = dir_ / "log.txt";
  std::string error;
  ASSERT_TRUE(SaveTextLog(numbered_log(GetParam()), file, &error)) << error;
  EXPECT_EQ(read_bytes(file), expected_file(GetParam()));
  EXPECT_EQ(folder_listing(dir_), std::vector<std::string>{"log.txt"});
}

INSTANTIATE_TEST_SUITE_P(Counts, TextLogSaveLayout, ::testing::Values(1, 3, 99, 100, 101, 200));

TEST_F(TextLogFiles, SaveReplacesAnExistingFileKeepingItsPermissions) {
  const fs::path file = dir_ / "log.txt";
  write_bytes(file, "an older, longer file that must not leave a tail behind\r\n");
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(SaveTextLog(numbered_log(100), file));
  EXPECT_EQ(read_bytes(file), expected_file(100));
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// The temporary file's name must not outgrow the longest name the folder takes.
TEST_F(TextLogFiles, SaveUnderTheLongestFileName) {
  const fs::path file = dir_ / (std::string(251, 'n') + ".txt");
  std::string error;
  ASSERT_TRUE(SaveTextLog(numbered_log(1), file, &error)) << error;
  EXPECT_EQ(read_bytes(file), expected_file(1));
}

// A link is refused as a target rather than followed: one planted in a shared
// folder would send the save onto another file of the user.
TEST_F(TextLogFiles, SaveToALinkIsRefusedAndLeavesBoth) {
  const fs::path file = dir_ / "real.txt";
  write_bytes(file, "old");
  fs::create_symlink(file, dir_ / "link.txt");
  std::string error;
  EXPECT_FALSE(SaveTextLog(numbered_log(1), dir_ / "link.txt", &error));
  EXPECT_NE(error.find("it is a symbolic link"), std::string::npos) << error;
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.txt"));
  EXPECT_EQ(read_bytes(file), "old");
}

// A failed save reports why and leaves what was there, without a temporary file.
TEST_F(TextLogFiles, FailedSavesKeepTheEarlierFile) {
  const fs::path file = dir_ / "log.txt";
  write_bytes(file, "earlier");
  fs::create_directory(dir_ / "folder");
  write_bytes(dir_ / "folder" / "inside", "x");
  struct Case {
    const char* name;
    ReadingLog log;
    fs::path target;
  };
  const Case cases[] = {
      {"EmptyLog", ReadingLog{}, file},
      {"FolderIsAFile", numbered_log(3), file / "log.txt"},
      {"MissingFolder", numbered_log(3), dir_ / "missing" / "log.txt"},
      {"TargetIsAFolder", numbered_log(3), dir_ / "folder"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(SaveTextLog(c.log, c.target, &error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
    EXPECT_EQ(read_bytes(file), "earlier") << c.name;
    EXPECT_EQ(folder_listing(dir_), (std::vector<std::string>{"folder", "log.txt"})) << c.name;
    EXPECT_EQ(folder_listing(dir_ / "folder"), std::vector<std::string>{"inside"}) << c.name;
  }
}

// The file size limit makes a write fail halfway, as a full disk would, even
// for a user whom folder permissions do not stop.
TEST_F(TextLogFiles, WriteFailingHalfwayKeepsTheEarlierFile) {
  const fs::path file = dir_ / "log.txt";
  write_bytes(file, "earlier");
  rlimit old_limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

  std::string error;
  const bool saved = SaveTextLog(numbered_log(500), file, &error);

  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  ::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(saved);
  EXPECT_NE(error.find("writing"), std::string::npos) << error;
  EXPECT_EQ(read_bytes(file), "earlier");
  EXPECT_EQ(folder_listing(dir_), std::vector<std::string>{"log.txt"});
}

TEST_F(TextLogFiles, SavedLogOpensAgainWithTheSameRecords) {
  const std::vector<real_Record> records = {
      record(1, "0.4254", "ACV AUTO 5.0000 V", "60.00", "FRE 99.99 Hz"),
      record(2, "OL", "OHM AUTO 50.000 K"s + kOhm, "", "", "23:59:59"),
      record(3, "-OL", "DCV AUTO 50.000 V"),
      record(-4, "-12.345", "ACA+DCA AUTO 10.000 A", "-1.2", "dBm AUTO 99.99 dBm"),
      record(2147483647, "1234567890", "OHM MANU 500.00 M"s + kOhm, "1234567890",
             std::string(33, 'r') + kOhm),
  };
  for (int n = 1; n <= static_cast<int>(records.size()); ++n) {
    const std::vector<real_Record> part(records.begin(), records.begin() + n);
    const fs::path file = dir_ / ("log" + std::to_string(n) + ".txt");
    ASSERT_TRUE(SaveTextLog(log_of(part), file)) << n;
    EXPECT_EQ(LoadTextLog(file, "."), part) << n;
  }
}

// The decoder leaves "  " as the range of an unlit sub display; the reader trims it.
TEST_F(TextLogFiles, SpacesAroundTextsDoNotSurviveTheRoundTrip) {
  const fs::path file = dir_ / "log.txt";
  ASSERT_TRUE(SaveTextLog(log_of({record(1, " 1.5", "DCV AUTO 5.0000 V ", "", "  ")}), file));
  EXPECT_EQ(LoadTextLog(file, "."),
            std::vector<real_Record>{record(1, "1.5", "DCV AUTO 5.0000 V")});
}

TEST_F(TextLogFiles, OpenRefusesMissingAndUnnamedFiles) {
  EXPECT_EQ(LoadTextLog(dir_ / "missing.txt", "."), std::nullopt);
  EXPECT_EQ(LoadTextLog("", "."), std::nullopt);
  EXPECT_EQ(LoadTextLog(dir_, "."), std::nullopt);
}

TEST(TextLogBytes, MatchesWhatIsSaved) {
  EXPECT_EQ(TextLogBytes(numbered_log(101)), expected_file(101));
  EXPECT_EQ(TextLogBytes(ReadingLog{}), "0\r\n");
}

}  // namespace
}  // namespace tarvo
