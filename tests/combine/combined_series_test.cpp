// The combined chart's lines: formulas typed in one field, sessions lined up
// on one time axis, long lines thinned, groups of sessions found.
#include "combine/combined_series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "sheet_test_log.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Points = std::vector<std::pair<std::int64_t, double>>;

struct FormulaCase {
  std::string text;
  std::vector<std::pair<std::string, std::string>> formulas;
  std::string error;
};

TEST(FormulaList, NamesAndTextsOrWhatIsWrong) {
  const std::vector<FormulaCase> cases = {
      {"", {}, ""},
      {" P = A*B ; Q=integral(B);", {{"P", " A*B"}, {"Q", "integral(B)"}}, ""},
      {"P=A*B\nR=A/B", {{"P", "A*B"}, {"R", "A/B"}}, ""},
      {"A*B", {}, "\"A*B\" needs a name: NAME=EXPR"},
      {"=A", {}, "\"=A\" needs a name: NAME=EXPR"},
      {"B=A*2", {}, "the name \"B\" is taken by a column"},
      {"Time=A", {}, "the name \"Time\" is taken by a column"},
      {"C=A*2", {{"C", "A*2"}}, ""},  // only two meters: C is free
      {"P=A;P=B", {}, "two formulas are named \"P\""},
  };
  for (const FormulaCase& c : cases) {
    SCOPED_TRACE(c.text);
    std::string error;
    EXPECT_EQ(split_formula_list(c.text, 2, error), c.formulas);
    EXPECT_EQ(error, c.error);
  }
}

TEST(ThinLine, KeepsTheExtremesOfEachStretchAndTheBreaks) {
  Points line;
  for (int i = 0; i < 1000; ++i) line.emplace_back(i * 1000, std::sin(i / 10.0) + 5 * (i == 613));
  line[500].second = std::nan("");
  const Points thin = thin_line(line, 100);
  EXPECT_LE(thin.size(), 110u);
  double low = 9, high = -9;
  int breaks = 0;
  for (std::size_t i = 0; i < thin.size(); ++i) {
    if (std::isnan(thin[i].second)) {
      ++breaks;
      continue;
    }
    if (i > 0) {
      EXPECT_LT(thin[i - 1].first, thin[i].first);
    }
    low = std::min(low, thin[i].second);
    high = std::max(high, thin[i].second);
  }
  EXPECT_EQ(breaks, 1);
  EXPECT_DOUBLE_EQ(high, std::sin(61.3) + 5);  // the spike survives
  EXPECT_LT(low, -0.999);
  EXPECT_EQ(thin_line(Points(line.begin(), line.begin() + 50), 100).size(), 50u);
}

class CombinedLinesTest : public ::testing::Test {
 protected:
  void write(const std::string& name, const std::string& text) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }
  static std::string header(int interval) {
    return "tarvo-session\t1\nstarted\t2026-12-09T10:00:00+01:00\nfamily\tbench\ninterval\t" +
           std::to_string(interval) + "\ndecimal\t.\n";
  }
  static std::string reading(int index, int second, const std::string& number,
                             const std::string& range) {
    char when[32];
    std::snprintf(when, sizeof when, "2026-12-09T10:00:%02d+01:00", second);
    const std::string w = when;
    return "reading\t" + std::to_string(index) + "\t" + w + "\t" + w.substr(11, 8) + "\t" + number +
           "\t" + range + "\t\t\t1\t" + number + "\t" + number + "\t" + number + "\n";
  }
  fs::path path(const std::string& name) const { return folder_ / name; }

  sheet_test::TempFolder folder_;
};

TEST_F(CombinedLinesTest, EachChannelIsALineInItsUnitWithBreaksWhereAValueIsMissing) {
  const std::string volts = "DCV AUTO 50.000 V", amps = "DCA AUTO 5.0000 A";
  write("a.tarvo-session", header(1) + reading(1, 0, "12.000", volts) +
                               reading(2, 1, "12.000", volts) + reading(3, 2, "12.000", volts) +
                               reading(4, 3, "0.5000", "DCA AUTO 5.0000 A"));
  write("b.tarvo-session", header(1) + reading(1, 0, "0.5000", amps) +
                               reading(2, 2, "0.2500", amps) + reading(3, 3, "1.0000", amps));
  const CombinedLines c =
      read_combined_lines({path("a.tarvo-session"), path("b.tarvo-session")}, "P=A*B", {});
  ASSERT_EQ(c.error, "");
  std::vector<std::string> names;
  for (const ChannelLine& line : c.lines) names.push_back(line.name + " " + line.unit);
  // A turned from volts to amps: two lines; P in watts, then in A².
  EXPECT_EQ(names, (std::vector<std::string>{"A V", "B A", "P W", "A A", "P A\u00B2"}));
  const std::int64_t t0 = 1796806800000;  // 10:00:00+01:00
  const auto value_at = [&](const ChannelLine& line, std::int64_t ms) {
    for (const auto& [t, v] : line.points) {
      if (t == ms) return v;
    }
    return -1.0;
  };
  EXPECT_TRUE(std::isnan(value_at(c.lines[1], t0 + 1000)));  // B has no reading at 10:00:01
  EXPECT_DOUBLE_EQ(value_at(c.lines[2], t0 + 2000), 3.0);
  EXPECT_TRUE(std::isnan(value_at(c.lines[0], t0 + 3000)));  // volts break where amps go on
  EXPECT_DOUBLE_EQ(value_at(c.lines[3], t0 + 3000), 0.5);
}

TEST_F(CombinedLinesTest, AWrongFormulaOrFileIsSaidAndNothingIsDrawn) {
  write("a.tarvo-session", header(1) + reading(1, 0, "12.000", "DCV AUTO 50.000 V"));
  write("b.tarvo-session", header(1) + reading(1, 0, "0.5000", "DCA AUTO 5.0000 A"));
  const std::vector<fs::path> both = {path("a.tarvo-session"), path("b.tarvo-session")};
  EXPECT_EQ(read_combined_lines(both, "S=A+B", {}).error,
            "S: cannot add V and A (row of 2026-12-09T10:00:00+01:00)");
  EXPECT_NE(read_combined_lines(both, "P=A*", {}).error.find("P: "), std::string::npos);
  const CombinedLines missing = read_combined_lines({both[0], path("gone.tarvo-session")}, "", {});
  EXPECT_NE(missing.error.find("gone.tarvo-session"), std::string::npos);
  EXPECT_TRUE(missing.lines.empty());
}

TEST_F(CombinedLinesTest, GroupsAreTheSessionsRecordedSideBySideFounderFirst) {
  const std::string founder = "20261209-100000";
  const auto started = [](const std::string& when) {
    return "tarvo-session\t1\nstarted\t2026-12-09T" + when +
           "+01:00\nfamily\tbench\ninterval\t1\ndecimal\t.\n";
  };
  write(founder + ".tarvo-session", started("10:00:00"));
  write("20261209-100001.tarvo-session", started("10:00:01") + "group\t" + founder + "\n");
  write("20261209-090000.tarvo-session", started("09:00:00"));  // alone: no group
  std::vector<SessionSummary> summaries;
  for (const auto& entry : fs::directory_iterator(folder_ / "")) {
    if (auto s = SummarizeSession(entry.path())) summaries.push_back(*s);
  }
  ASSERT_EQ(summaries.size(), 3u);
  const std::vector<SessionGroup> groups = groups_of_sessions(summaries);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0].id, founder);
  ASSERT_EQ(groups[0].sessions.size(), 2u);
  EXPECT_EQ(groups[0].sessions[0].path.filename(), founder + ".tarvo-session");
  EXPECT_FALSE(groups[0].recording);
}

}  // namespace
}  // namespace tarvo
