#include "convert_command.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "files/session_file.h"
#include "files/spreadsheet_export.h"
#include "files/text_log.h"
#include "odd_inputs.h"
#include "sheet_test_log.h"
#include "zip_reader.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using namespace sheet_test;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = run_convert(args, out, err);
  return {status, out.str(), err.str()};
}

// Texts that a spreadsheet would take apart if they were not quoted.
ReadingLog awkward_log() {
  return log_of({
      record(1, "09:05:03", "-12.345", "OHM AUTO 50.000 K\u03A9", "60.00", "FRE 99.99 Hz"),
      record(2, "09:05:04", "OL", "ACV AUTO 5.0000 \"V\", x", "", ""),
      record(-3, "09:05:05", "0.5", "交流 AUTO 5.0000 V", "1;2", "T\u2103"),
  });
}

// An RFC 4180 reader: fields split at commas, quoted fields may hold commas,
// line breaks and doubled quotes; records end with CR LF.
std::vector<std::vector<std::string>> csv_rows(std::string_view text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = rows.back().back();
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      field += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      rows.back().emplace_back();
    } else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.emplace_back(1);
      ++i;
    } else {
      field += c;
    }
  }
  rows.pop_back();  // after the last CR LF
  return rows;
}

// LC_ALL for the length of a test, so that the locale's decimal separator
// does not depend on the machine.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* name) {
    if (const char* old = std::getenv("LC_ALL")) saved_ = old;
    ::setenv("LC_ALL", name, 1);
  }
  ~ScopedLocale() {
    if (saved_) {
      ::setenv("LC_ALL", saved_->c_str(), 1);
    } else {
      ::unsetenv("LC_ALL");
    }
  }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

 private:
  std::optional<std::string> saved_;
};

class Convert : public ::testing::Test {
 protected:
  Convert() { EXPECT_TRUE(SaveTextLog(awkward_log(), in_)); }

  TempFolder folder_;
  fs::path in_ = folder_ / "in.txt";
};

TEST_F(Convert, TextLogComesOutAsItWentIn) {
  const Outcome r = run({in_.string(), (folder_ / "out.TXT").string(), "--decimal-separator=."});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "3 records written to " + (folder_ / "out.TXT").string() + "\n");
  EXPECT_EQ(read_bytes(folder_ / "out.TXT"), read_bytes(in_));
}

TEST_F(Convert, CsvReadsBackAsTheGridsColumns) {
  ASSERT_EQ(run({in_.string(), (folder_ / "out.csv").string(), "--decimal-separator", "."}).status,
            0);
  const std::string bytes = read_bytes(folder_ / "out.csv");
  ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  using Row = std::vector<std::string>;
  EXPECT_EQ(csv_rows(std::string_view(bytes).substr(3)),
            (std::vector<Row>{
                {"Index", "Time", "Main", "Main_Range", "Sub", "Sub_Range", "DateTime", "Value",
                 "Unit", "Overload", "Sub Value", "Sub Unit", "Frames", "Frame Min", "Frame Max",
                 "Frame Mean", "Event"},
                {"1", "09:05:03", "-12.345", "OHM AUTO 50.000 K\u03A9", "60.00", "FRE 99.99 Hz", "",
                 "-12345", "\u03A9", "0", "60", "Hz", "", "", "", "", ""},
                {"2", "09:05:04", "OL", "ACV AUTO 5.0000 \"V\", x", "", "", "", "", "", "1", "", "",
                 "", "", "", "", ""},
                {"-3", "09:05:05", "0.5", "交流 AUTO 5.0000 V", "1;2", "T\u2103", "", "0.5", "V",
                 "0", "", "", "", "", "", "", ""},
            }));
}

// The command writes what the export writes for the same log, whose .xls
// files the export's own tests read back with an independent reader.
// A session's notes become the Note column, each at the newest reading of
// its moment; a session without notes converts as a text log does.
TEST_F(Convert, ASessionsNotesBecomeItsLastColumn) {
  const auto moment = [](int second, int millisecond) {
    return LocalTime{2026, 12, 9, 14, 5, second, millisecond, 60};
  };
  std::string text = session_header_text({moment(0, 0), "bench", 1, "."});
  for (int n = 1; n <= 3; ++n) {
    real_Record r = record(n, "14:05:0" + std::to_string(n - 1), "1.5", "DCV AUTO 5.0000 V");
    r.DateTime = moment(n - 1, 0);
    r.Dated = true;
    text += session_reading_line(r);
    if (n == 2) {
      text += session_event_line(SessionEvent::Note, moment(1, 500), "probe, moved");
      text += session_event_line(SessionEvent::Note, moment(1, 700), "back");
    }
  }
  text += session_event_line(SessionEvent::Note, moment(2, 100), "end");
  const fs::path session = folder_ / "in.tarvo-session";
  std::ofstream(session, std::ios::binary) << text;
  ASSERT_EQ(run({session.string(), (folder_ / "out.csv").string(), "--decimal-separator=."}).status,
            0);
  const std::string bytes = read_bytes(folder_ / "out.csv");
  const auto rows = csv_rows(std::string_view(bytes).substr(3));
  ASSERT_EQ(rows.size(), 4u);
  const std::string notes[] = {"Note", "", "probe, moved; back", "end"};
  for (std::size_t r = 0; r < rows.size(); ++r) {
    ASSERT_EQ(rows[r].size(), 18u) << r;
    EXPECT_EQ(rows[r].back(), notes[r]) << r;
  }
}

TEST_F(Convert, XlsIsTheExportOfTheLogRead) {
  ASSERT_EQ(run({in_.string(), (folder_ / "out.xls").string(), "--decimal-separator=."}).status, 0);
  ASSERT_TRUE(ExportSpreadsheet(awkward_log(), folder_ / "direct.xls", SpreadsheetFormat::Xls));
  EXPECT_EQ(read_bytes(folder_ / "out.xls"), read_bytes(folder_ / "direct.xls"));
}

TEST_F(Convert, XlsxHoldsTheRecordsOnPageOne) {
  ASSERT_EQ(run({in_.string(), (folder_ / "out.xlsx").string(), "--decimal-separator=."}).status,
            0);
  const auto members = zip_test::zip_members(read_bytes(folder_ / "out.xlsx"));
  ASSERT_TRUE(members.contains("xl/worksheets/sheet1.xml"));
  EXPECT_NE(members.at("xl/workbook.xml").find("name=\"page 1\""), std::string::npos);
  const std::string& sheet = members.at("xl/worksheets/sheet1.xml");
  EXPECT_NE(sheet.find("<c r=\"A4\"><v>-3</v></c>"), std::string::npos);
  EXPECT_NE(sheet.find("交流 AUTO 5.0000 V"), std::string::npos);
  EXPECT_NE(sheet.find("ACV AUTO 5.0000 \"V\", x"), std::string::npos);
}

TEST_F(Convert, RefusedLogWritesNothing) {
  std::ofstream(folder_ / "bad.txt") << "2\r\n1\t09:05:03\tabc\tDCV AUTO 5.0000 V\t\t\t\r\n";
  const Outcome r = run({(folder_ / "bad.txt").string(), (folder_ / "out.csv").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "tarvo-cli convert: " + (folder_ / "bad.txt").string() +
                       ": Wrong file format! (line 2 is not a valid record)\n");
  EXPECT_FALSE(fs::exists(folder_ / "out.csv"));
}

// A small tmpfs stands for a full disk. Mounting one needs root; elsewhere
// the test is skipped.
class FullDisk {
 public:
  explicit FullDisk(fs::path where) : where_(std::move(where)) {
    fs::create_directories(where_);
    mounted_ = ::mount("tarvo-full", where_.c_str(), "tmpfs", 0, "size=256k") == 0;
  }
  ~FullDisk() {
    if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  fs::path where_;
  bool mounted_ = false;
};

// Every format says what the system said, and no library adds lines of its
// own on standard error; nothing is left on the disk.
TEST(ConvertFullDisk, EveryFormatGivesTheSystemsReason) {
  const TempFolder folder;
  const FullDisk disk(folder / "full");
  if (!disk.mounted()) GTEST_SKIP() << "no tmpfs could be mounted";
  ASSERT_TRUE(SaveTextLog(numbered_log(20000), folder / "in.txt"));
  for (const char* name : {"out.txt", "out.xls", "out.xlsx", "out.csv"}) {
    testing::internal::CaptureStderr();
    const Outcome r = run(
        {(folder / "in.txt").string(), (folder / "full" / name).string(), "--decimal-separator=."});
    const std::string library_lines = testing::internal::GetCapturedStderr();
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    EXPECT_EQ(library_lines, "") << name;
    EXPECT_TRUE(fs::is_empty(folder / "full")) << name;
  }
}

class ConvertOddInput : public ::testing::TestWithParam<odd_input::Case> {};

// None of them is read: each ends at once with its reason and writes nothing.
TEST_P(ConvertOddInput, EndsWithTheReason) {
  const TempFolder folder;
  const fs::path input = odd_input::make(GetParam().kind, folder / "");
  const Outcome r = run({input.string(), (folder / "out.txt").string()});
  EXPECT_EQ(r.status, 1);
  const std::string head = "tarvo-cli convert: " + input.string() + ": ";
  EXPECT_EQ(r.err.substr(0, head.size()), head);
  if (GetParam().kind == odd_input::Kind::Missing) {
    EXPECT_EQ(r.err, head + "File is not exist!\n");
  } else {
    EXPECT_NE(r.err.find("Wrong file format! ("), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fs::exists(folder / "out.txt"));
}

INSTANTIATE_TEST_SUITE_P(Inputs, ConvertOddInput, ::testing::ValuesIn(odd_input::kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Convert, UnwritableTargetFailsWithTheReason) {
  std::ofstream(folder_ / "plain") << "a file, not a folder";
  const Outcome r =
      run({in_.string(), (folder_ / "plain" / "out.xls").string(), "--decimal-separator=."});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(": File save fail ! (cannot create a file in "), std::string::npos) << r.err;
}

// OUT names something that is not a regular file: it is refused with the
// reason and stays as it was; with root's rights a device node too.
TEST_F(Convert, OutThatIsNoRegularFileIsRefusedAndLeftAsItIs) {
  std::ofstream(folder_ / "precious.csv") << "the user's own";
  fs::create_symlink(folder_ / "precious.csv", folder_ / "planted.csv");
  fs::create_symlink("/dev/null", folder_ / "null.txt");
  ASSERT_EQ(::mkfifo((folder_ / "fifo.xlsx").c_str(), 0600), 0);
  std::vector<std::pair<std::string, std::string>> cases = {
      {"planted.csv", "it is a symbolic link, not a regular file"},
      {"null.txt", "it is a symbolic link, not a regular file"},
      {"fifo.xlsx", "it is a pipe (FIFO), not a regular file"},
  };
  if (::geteuid() == 0) {
    ASSERT_EQ(::mknod((folder_ / "device.xls").c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    cases.emplace_back("device.xls", "it is a device, not a regular file");
  }
  for (const auto& [name, reason] : cases) {
    SCOPED_TRACE(name);
    const Outcome r = run({in_.string(), (folder_ / name).string(), "--decimal-separator=."});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(reason + "; it was left as it is)"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(fs::is_symlink(folder_ / "planted.csv"));
  EXPECT_EQ(fs::read_symlink(folder_ / "null.txt"), "/dev/null");
  EXPECT_TRUE(fs::is_fifo(folder_ / "fifo.xlsx"));
  if (::geteuid() == 0) {
    EXPECT_TRUE(fs::is_character_file(folder_ / "device.xls"));
  }
  EXPECT_EQ(read_bytes(folder_ / "precious.csv"), "the user's own");
}

struct SeparatorCase {
  const char* name;
  std::vector<std::string> options;
  int status;
};

void PrintTo(const SeparatorCase& c, std::ostream* os) {
  *os << c.name;
}

class ConvertSeparator : public Convert, public ::testing::WithParamInterface<SeparatorCase> {};

// "1,5" is a number only where the decimal separator is a comma.
TEST_P(ConvertSeparator, DecidesWhetherTheNumbersRead) {
  const ScopedLocale c_locale("C");
  std::ofstream(folder_ / "comma.txt") << "1\r\n1\t09:05:03\t1,5\tDCV AUTO 5,0000 V\t\t\t\r\n";
  std::vector<std::string> args = {(folder_ / "comma.txt").string(),
                                   (folder_ / "out.csv").string()};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  EXPECT_EQ(run(args).status, GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Cases, ConvertSeparator,
                         ::testing::Values(SeparatorCase{"Comma", {"--decimal-separator", ","}, 0},
                                           SeparatorCase{
                                               "CommaJoined", {"--decimal-separator=,"}, 0},
                                           SeparatorCase{"Point", {"--decimal-separator", "."}, 1},
                                           SeparatorCase{"TheLocales", {}, 1}),
                         [](const ::testing::TestParamInfo<SeparatorCase>& info) {
                           return std::string(info.param.name);
                         });

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* message;
};

void PrintTo(const UsageCase& c, std::ostream* os) {
  *os << c.name;
}

class ConvertUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(ConvertUsage, IsRefusedWithStatusTwo) {
  const Outcome r = run(GetParam().args);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, std::string("tarvo-cli convert: ") + GetParam().message + "\n");
  EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertUsage,
    ::testing::Values(
        UsageCase{"NoFiles", {}, "give the file to read and the file to write"},
        UsageCase{"OneFile", {"in.txt"}, "give the file to read and the file to write"},
        UsageCase{"ThreeFiles",
                  {"a.txt", "b.txt", "c.txt"},
                  "give the file to read and the file to write"},
        UsageCase{"UnknownOption", {"in.txt", "--sheet", "out.xls"}, "unknown option --sheet"},
        UsageCase{"EmptySeparator",
                  {"in.txt", "out.xls", "--decimal-separator="},
                  "--decimal-separator must not be empty"},
        UsageCase{"PictureType",
                  {"in.txt", "out.jpg"},
                  "the file to write must end in .txt, .xls, .xlsx or .csv"},
        UsageCase{"NoExtension",
                  {"in.txt", "out"},
                  "the file to write must end in .txt, .xls, .xlsx or .csv"}),
    [](const ::testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

TEST(EnvironmentDecimalSeparator, IsAPointForTheCLocaleAndForAnUnknownOne) {
  for (const char* locale : {"C", "xx_NOWHERE.UTF-8"}) {
    const ScopedLocale scoped(locale);
    EXPECT_EQ(environment_decimal_separator(), ".") << locale;
  }
}

}  // namespace
}  // namespace tarvo::cli
