#include "chart_command.h"

#include <gtest/gtest.h>

#include <QImageReader>
#include <fstream>
#include <sstream>

#include "display_test_log.h"
#include "files/text_log.h"
#include "sheet_test_log.h"

namespace tarvo::cli {
namespace {

using sheet_test::TempFolder;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = run_chart(args, out, err);
  return {status, out.str(), err.str()};
}

QSize picture_size(const std::filesystem::path& file) {
  return QImageReader(QString::fromStdString(file.string())).size();
}

struct PictureCase {
  const char* file;
  QSize size;
};

class ChartCommand : public ::testing::TestWithParam<PictureCase> {
 protected:
  ChartCommand() { EXPECT_TRUE(SaveTextLog(one_run_log(250), in_)); }

  TempFolder folder_;
  std::filesystem::path in_ = folder_ / "log.txt";
};

TEST_P(ChartCommand, SavesTheLastPage) {
  const auto out = folder_ / GetParam().file;
  const Outcome r = run({in_.string(), out.string(), "--decimal-separator=."});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "chart of records 51 to 250 written to " + out.string() + "\n");
  EXPECT_EQ(picture_size(out), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Pictures, ChartCommand,
                         ::testing::Values(PictureCase{"chart.jpg", {1910, 1080}},
                                           PictureCase{"chart.PNG", {1910, 1080}},
                                           PictureCase{"chart.bmp", {668, 395}}));

struct FailureCase {
  const char* name;
  std::string log;
  const char* out;
  int status;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class ChartCommandFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ChartCommandFailure, WritesNoPicture) {
  const TempFolder folder;
  std::ofstream(folder / "log.txt", std::ios::binary) << GetParam().log;
  const Outcome r = run(
      {(folder / "log.txt").string(), (folder / GetParam().out).string(), "--decimal-separator=."});
  EXPECT_EQ(r.status, GetParam().status);
  EXPECT_FALSE(r.err.empty());
  EXPECT_EQ(folder.entries(), 1u);
}

const std::string kGoodLog = "1\r\n1\t10:00:01\t1.5\tDCV AUTO 5.0000 V\t\t\t\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ChartCommandFailure,
    ::testing::Values(
        FailureCase{"RefusedLog", "1\r\n1\t10:00:01\tx\tDCV AUTO 5.0000 V\t\t\t\r\n", "c.jpg", 1},
        FailureCase{"RangeWithoutScale", "1\r\n1\t10:00:01\t0\tDCV AUTO 0 V\t\t\t\r\n", "c.png", 1},
        FailureCase{"NotAPicture", kGoodLog, "c.gif", 2},
        FailureCase{"SpreadsheetName", kGoodLog, "c.xls", 2}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvo::cli
