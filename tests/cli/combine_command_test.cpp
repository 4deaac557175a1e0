#include "combine_command.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sheet_test_log.h"
#include "zip_reader.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using sheet_test::read_bytes;
using sheet_test::TempFolder;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = run_combine(args, out, err);
  return {status, out.str(), err.str()};
}

std::string header(const std::string& started, const std::string& family, int interval) {
  return "tarvo-session\t1\nstarted\t" + started + "\nfamily\t" + family + "\ninterval\t" +
         std::to_string(interval) + "\ndecimal\t.\n";
}

// hh:mm:ss of a day, "2026-12-09T" before it and the zone after it.
std::string moment(int seconds_of_day, const std::string& zone) {
  char text[40];
  std::snprintf(text, sizeof text, "2026-12-09T%02d:%02d:%02d%s", seconds_of_day / 3600,
                seconds_of_day / 60 % 60, seconds_of_day % 60, zone.c_str());
  return text;
}

std::string reading(int index, int seconds_of_day, const std::string& zone,
                    const std::string& number, const std::string& range) {
  const std::string when = moment(seconds_of_day, zone);
  return "reading\t" + std::to_string(index) + "\t" + when + "\t" + when.substr(11, 8) + "\t" +
         number + "\t" + range + "\t\t\t1\t" + number + "\t" + number + "\t" + number + "\n";
}

std::string event(int seconds_of_day, const std::string& zone, const std::string& what) {
  return "event\t" + moment(seconds_of_day, zone) + "\t" + what + "\n";
}

std::vector<std::vector<std::string>> csv_rows(const std::string& bytes) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(bytes.substr(3));  // after the byte-order mark
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields(1);
    for (char c : line) {
      if (c == ',') {
        fields.emplace_back();
      } else {
        fields.back() += c;
      }
    }
    rows.push_back(std::move(fields));
  }
  return rows;
}

constexpr int kTen = 10 * 3600;  // 10:00:00
const std::string kVolts = "DCV AUTO 50.000 V";
const std::string kMilliamps = "DCA AUTO 500.00 mA";

class Combine : public ::testing::Test {
 protected:
  void write(const std::string& name, const std::string& text) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }

  // A bench meter's volts every 2 s from 10:00:00 in Paris, a compact meter's
  // milliamperes in London: one reading missing while it was lost, the next
  // after the gap.
  void write_tiny() {
    write("v.tarvo-session", header(moment(kTen, "+01:00"), "bench", 2) +
                                 reading(1, kTen, "+01:00", "12.000", kVolts) +
                                 reading(2, kTen + 2, "+01:00", "12.002", kVolts) +
                                 reading(3, kTen + 4, "+01:00", "12.004", kVolts) +
                                 reading(4, kTen + 6, "+01:00", "12.006", kVolts));
    const int nine = kTen - 3600;
    write("a.tarvo-session", header(moment(nine, "+00:00"), "compact", 2) +
                                 reading(1, nine, "+00:00", "500.00", kMilliamps) +
                                 event(nine + 1, "+00:00", "meter lost") +
                                 event(nine + 3, "+00:00", "meter back") +
                                 reading(2, nine + 4, "+00:00", "250.00", kMilliamps) +
                                 reading(3, nine + 6, "+00:00", "750.00", kMilliamps));
  }

  TempFolder folder_;
};

TEST_F(Combine, TinyCsvIsExact) {
  write_tiny();
  const Outcome r = run({path("v.tarvo-session"), path("a.tarvo-session"), path("out.csv"),
                         "--formula", "P = A*B", "--formula=Q=integral(B)"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "4 rows written to " + path("out.csv") + "\n");
  EXPECT_EQ(read_bytes(folder_ / "out.csv"),
            "\xEF\xBB\xBF"
            "Time,A,A Unit,B,B Unit,P,P Unit,Q,Q Unit\r\n"
            "2026-12-09T10:00:00+01:00,12,V,0.5,A,6,W,0,A\u00B7h\r\n"
            "2026-12-09T10:00:02+01:00,12.002,V,,,,,,\r\n"
            "2026-12-09T10:00:04+01:00,12.004,V,0.25,A,3.001,W,0,A\u00B7h\r\n"
            "2026-12-09T10:00:06+01:00,12.006,V,0.75,A,9.0045,W,0.000277777777777778,A\u00B7h\r\n");
}

TEST_F(Combine, XlsxHoldsNumbersAndLeavesMissingCellsOut) {
  write_tiny();
  ASSERT_EQ(run({path("v.tarvo-session"), path("a.tarvo-session"), path("out.XLSX"), "--formula",
                 "P=A*B"})
                .status,
            0);
  const auto members = zip_test::zip_members(read_bytes(folder_ / "out.XLSX"));
  ASSERT_TRUE(members.contains("xl/worksheets/sheet1.xml"));
  const std::string& sheet = members.at("xl/worksheets/sheet1.xml");
  for (const char* cell : {"<c r=\"B2\"><v>12</v></c>", "<c r=\"D4\"><v>0.25</v></c>",
                           "<c r=\"F5\"><v>9.0045", "<t>P Unit</t>", "<t>W</t>"}) {
    EXPECT_NE(sheet.find(cell), std::string::npos) << cell;
  }
  EXPECT_NE(sheet.find("<c r=\"B3\""), std::string::npos);
  for (const char* empty : {"<c r=\"D3\"", "<c r=\"E3\"", "<c r=\"F3\""}) {
    EXPECT_EQ(sheet.find(empty), std::string::npos) << empty;
  }
}

// Ten minutes of both meters, the second lost for a minute.
TEST_F(Combine, PowerIsTheProductAndChargeTheTrapezoidSumWithoutTheGap) {
  std::string volts = header(moment(kTen, "+01:00"), "bench", 1);
  std::string amps = header(moment(kTen - 3600, "+00:00"), "compact", 1);
  for (int i = 0; i < 600; ++i) {
    char v[16], ma[16];
    std::snprintf(v, sizeof v, "%.3f", 12 + std::sin(i / 40.0));
    std::snprintf(ma, sizeof ma, "%.2f", 400 + 90 * std::cos(i / 25.0));
    volts += reading(i + 1, kTen + i, "+01:00", v, kVolts);
    if (i == 200) amps += event(kTen - 3600 + i, "+00:00", "meter lost");
    if (i == 259) amps += event(kTen - 3600 + i, "+00:00", "meter back");
    if (i < 200 || i >= 260) amps += reading(i + 1, kTen - 3600 + i, "+00:00", ma, kMilliamps);
  }
  write("v.tarvo-session", volts);
  write("a.tarvo-session", amps);
  ASSERT_EQ(run({path("v.tarvo-session"), path("a.tarvo-session"), path("out.csv"), "--formula",
                 "P=A*B", "--formula", "Q=integral(B)"})
                .status,
            0);
  const auto rows = csv_rows(read_bytes(folder_ / "out.csv"));
  ASSERT_EQ(rows.size(), 601u);
  double charge = 0;  // ampere-seconds
  double last = -1;   // amperes of the row before; negative after a gap
  for (int i = 0; i < 600; ++i) {
    const std::vector<std::string>& row = rows[static_cast<std::size_t>(i) + 1];
    ASSERT_EQ(row.size(), 9u) << i;
    const bool away = i >= 200 && i < 260;
    EXPECT_EQ(row[3].empty(), away) << i;
    EXPECT_EQ(row[5].empty(), away) << i;
    EXPECT_EQ(row[7].empty(), away) << i;
    if (away) {
      last = -1;
      continue;
    }
    const double a = std::stod(row[1]);
    const double b = std::stod(row[3]);
    EXPECT_NEAR(std::stod(row[5]), a * b, std::abs(a * b) * 1e-14) << i;
    if (last >= 0) charge += (b + last) / 2;
    last = b;
    EXPECT_NEAR(std::stod(row[7]), charge / 3600, charge / 3600 * 0.001 + 1e-15) << i;
  }
  EXPECT_EQ(rows[261][7], rows[200][7]);  // held across the gap: the rows of i = 260 and 199
}

TEST_F(Combine, RefusalsSayWhyWithTheirStatus) {
  write_tiny();
  const std::string v = path("v.tarvo-session");
  const std::string a = path("a.tarvo-session");
  const std::string out = path("out.csv");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {{v, out}, 2, "give two or more session files and the file to write"},
      {{v, a, path("out.txt")}, 2, "the file to write must end in .csv or .xlsx"},
      {{v, a, out, "--formula", "A*B"}, 2, "--formula needs NAME=EXPR, not \"A*B\""},
      {{v, a, out, "--formula", " =A*B"}, 2, "--formula needs NAME=EXPR"},
      {{v, a, out, "--formula", "B=A*B"}, 2, "the formula name \"B\" is taken by a column"},
      {{v, a, out, "--formula", "P=A", "--formula", "P=B"}, 2, "two formulas are named \"P\""},
      {{v, a, out, "--formula", "P=A*(B"}, 2, "formula P: at character 5: \")\" is missing"},
      {{v, a, out, "--tolerance", "-1"},
       2,
       "--tolerance must be a number of seconds from 0 to 86400, not \"-1\""},
      {{v, a, out, "--tolerance", "1", "--tolerance", "2"},
       2,
       "--tolerance is given more than once"},
      {{v, a, out, "--sum"}, 2, "unknown option --sum"},
      {{v, path("none.tarvo-session"), out},
       1,
       path("none.tarvo-session") + ": File is not exist!"},
      {{v, a, out, "--formula", "S=A+B"},
       1,
       "formula S: cannot add V and A (row of 2026-12-09T10:00:00+01:00)"},
  };
  for (const Case& c : cases) {
    const Outcome r = run(c.args);
    EXPECT_EQ(r.status, c.status) << c.err;
    EXPECT_EQ(r.err, "tarvo-cli combine: " + c.err + "\n");
    EXPECT_FALSE(fs::exists(out)) << c.err;
  }
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

// Both formats say what the system said, no library adds lines of its own,
// and nothing is left on the disk.
TEST_F(Combine, AFullDiskGivesTheSystemsReason) {
  const FullDisk disk(folder_ / "full");
  if (!disk.mounted()) GTEST_SKIP() << "no tmpfs could be mounted";
  std::string volts = header(moment(kTen, "+01:00"), "bench", 1);
  std::string amps = header(moment(kTen, "+01:00"), "compact", 1);
  // Numbers that differ, so that the .xlsx does not zip into the room left.
  for (int i = 0; i < 20000; ++i) {
    char v[16], ma[16];
    std::snprintf(v, sizeof v, "%.3f", (i * 7919 % 50000) / 1000.0);
    std::snprintf(ma, sizeof ma, "%.2f", (i * 104729 % 50000) / 100.0);
    volts += reading(i + 1, kTen + i, "+01:00", v, kVolts);
    amps += reading(i + 1, kTen + i, "+01:00", ma, kMilliamps);
  }
  write("v.tarvo-session", volts);
  write("a.tarvo-session", amps);
  for (const char* name : {"out.csv", "out.xlsx"}) {
    testing::internal::CaptureStderr();
    const Outcome r = run({path("v.tarvo-session"), path("a.tarvo-session"),
                           (folder_ / "full" / name).string(), "--formula", "P=A*B"});
    const std::string library_lines = testing::internal::GetCapturedStderr();
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    EXPECT_EQ(library_lines, "") << name;
    EXPECT_TRUE(fs::is_empty(folder_ / "full")) << name;
  }
}

}  // namespace
}  // namespace tarvo::cli
