#include "files/spreadsheet_export.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "sheet_test_log.h"

namespace tarvo {
namespace {

using namespace sheet_test;

struct FormatCase {
  const char* file;
  std::optional<SpreadsheetFormat> format;
};

class SpreadsheetFormatOf : public ::testing::TestWithParam<FormatCase> {};

TEST_P(SpreadsheetFormatOf, FollowsTheExtensionInAnyCase) {
  EXPECT_EQ(spreadsheet_format_of(GetParam().file), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(Cases, SpreadsheetFormatOf,
                         ::testing::Values(FormatCase{"log.xls", SpreadsheetFormat::Xls},
                                           FormatCase{"/a/LOG.XLS", SpreadsheetFormat::Xls},
                                           FormatCase{"log.Xlsx", SpreadsheetFormat::Xlsx},
                                           FormatCase{"log.csv", SpreadsheetFormat::Csv},
                                           FormatCase{".xls", SpreadsheetFormat::Xls},
                                           FormatCase{"log.xls.txt", std::nullopt},
                                           FormatCase{"log.xlsm", std::nullopt},
                                           FormatCase{"a.xls/log", std::nullopt},
                                           FormatCase{"log", std::nullopt}));

struct Signature {
  SpreadsheetFormat format;
  const char* extension;
  std::string head;  // how the file begins
};

void PrintTo(const Signature& s, std::ostream* os) {
  *os << s.extension;
}

const Signature kSignatures[] = {
    {SpreadsheetFormat::Xls, ".xls", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"},
    {SpreadsheetFormat::Xlsx, ".xlsx", "PK\x03\x04"},
    {SpreadsheetFormat::Csv, ".csv", "\xEF\xBB\xBFIndex,"},
};

class SpreadsheetExport : public ::testing::TestWithParam<Signature> {
 protected:
  std::filesystem::path file_in(const TempFolder& folder) const {
    return folder / (std::string("log") + GetParam().extension);
  }
};

TEST_P(SpreadsheetExport, ReplacesAnEarlierFile) {
  const TempFolder folder;
  const std::filesystem::path file = file_in(folder);
  std::ofstream(file) << "old";
  std::string error;
  ASSERT_TRUE(ExportSpreadsheet(numbered_log(3), file, GetParam().format, {}, &error)) << error;
  EXPECT_EQ(read_bytes(file).substr(0, GetParam().head.size()), GetParam().head);
  EXPECT_EQ(folder.entries(), 1u);
}

TEST_P(SpreadsheetExport, ReportsProgressFromZeroToTheTotal) {
  const TempFolder folder;
  std::vector<std::int64_t> seen;
  const ExportProgress progress = [&seen](std::int64_t done, std::int64_t total) {
    EXPECT_EQ(total, 10000);
    seen.push_back(done);
    return true;
  };
  ASSERT_TRUE(ExportSpreadsheet(numbered_log(10000), file_in(folder), GetParam().format, progress));
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen.front(), 0);
  EXPECT_EQ(seen.back(), 10000);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

TEST_P(SpreadsheetExport, CancelledExportKeepsTheEarlierFile) {
  const TempFolder folder;
  const std::filesystem::path file = file_in(folder);
  std::ofstream(file) << "old";
  int calls = 0;
  const ExportProgress cancel_midway = [&calls](std::int64_t, std::int64_t) { return ++calls < 2; };
  std::string error;
  EXPECT_FALSE(
      ExportSpreadsheet(numbered_log(10000), file, GetParam().format, cancel_midway, &error));
  EXPECT_EQ(error, "cancelled");
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(read_bytes(file), "old");
  EXPECT_EQ(folder.entries(), 1u);
}

TEST_P(SpreadsheetExport, MissingFolderFailsWithAReason) {
  const TempFolder folder;
  std::string error;
  EXPECT_FALSE(ExportSpreadsheet(numbered_log(3), folder / "missing" / "log.x", GetParam().format,
                                 {}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(folder.entries(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, SpreadsheetExport, ::testing::ValuesIn(kSignatures),
                         [](const ::testing::TestParamInfo<Signature>& info) {
                           return std::string(info.param.extension + 1);
                         });

TEST(SpreadsheetExportLink, RefusesALinkAndLeavesTheFileItPointsTo) {
  const TempFolder folder;
  std::ofstream(folder / "real.csv") << "old";
  std::filesystem::create_symlink("real.csv", folder / "link.csv");
  std::string error;
  EXPECT_FALSE(ExportSpreadsheet(numbered_log(1), folder / "link.csv", SpreadsheetFormat::Csv, {},
                                 &error, "."));
  EXPECT_NE(error.find("it is a symbolic link"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.csv"));
  EXPECT_EQ(read_bytes(folder / "real.csv"), "old");
  EXPECT_EQ(folder.entries(), 2u);
}

// The zip names its parts in plain text; the 65501st record needs a second sheet.
TEST(SpreadsheetExportXlsx, SecondPageIsASecondWorksheet) {
  const TempFolder folder;
  const std::filesystem::path file = folder / "log.xlsx";
  ASSERT_TRUE(ExportSpreadsheet(numbered_log(65501), file, SpreadsheetFormat::Xlsx));
  const std::string bytes = read_bytes(file);
  EXPECT_NE(bytes.find("xl/worksheets/sheet2.xml"), std::string::npos);
  EXPECT_EQ(bytes.find("xl/worksheets/sheet3.xml"), std::string::npos);
}

}  // namespace
}  // namespace tarvo
