#include "combine/formula.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {
namespace {

// A row of a bench: A a voltage, B a current, C a frequency.
std::vector<std::optional<Quantity>> bench_row() {
  return {Quantity{12, *unit_of("V"), false}, Quantity{0.5, *unit_of("A"), false},
          Quantity{50, *unit_of("Hz"), false}};
}

TEST(Formula, UnitsFollowTheArithmetic) {
  struct Case {
    std::string text;
    std::string unit;
    double value;
  };
  const Case cases[] = {
      {"A*B", "W", 6},
      {"A/B", "\u03A9", 24},
      {"B/A", "S", 0.5 / 12},
      {"A*A", "V\u00B2", 144},
      {"A*A/B", "V\u00B2/A", 288},  // no name fits better than the powers
      {"B*C", "A/s", 25},
      {"B/C", "A\u00B7s", 0.01},
      {"1/C", "s", 0.02},
      {"A*B/C", "W\u00B7s", 0.12},
      {"B/C/A", "F", 0.01 / 12},
      {"A/B*B", "V", 12},
      {"A/A", "", 1},
      {"-A + 2*A", "V", 12},
      {"A \u00D7 B \u00F7 2", "W", 3},
      {"A \u2212 A", "V", 0},
      {"A \u00B7 (B - -B)", "W", 12},
      {"integral(B)", "A\u00B7h", 0},
      {"integral(A*B)", "W\u00B7h", 0},
      {"integral(A)/B", "\u03A9\u00B7h", 0},
      {"2.5e-3*A", "V", 0.03},
  };
  for (const Case& c : cases) {
    Formula f(c.text, 3);
    const std::optional<Quantity> q = f.next(0, bench_row());
    ASSERT_TRUE(q) << c.text;
    EXPECT_EQ(unit_name(q->unit), c.unit) << c.text;
    EXPECT_NEAR(q->value, c.value, 1e-12) << c.text;
  }
}

TEST(Formula, SumsOfDifferentUnitsAreRefusedNamingBoth) {
  const std::pair<std::string, std::string> cases[] = {
      {"A+B", "cannot add V and A"},
      {"A-B", "cannot subtract A from V"},
      {"A+1", "cannot add V and a plain number"},
      {"A*B + A", "cannot add W and V"},
      {"integral(B) - B", "cannot subtract A from A\u00B7h"},
  };
  for (const auto& [text, message] : cases) {
    Formula f(text, 3);
    try {
      f.next(0, bench_row());
      ADD_FAILURE() << text << " was accepted";
    } catch (const UnitError& e) {
      EXPECT_EQ(std::string(e.what()), message) << text;
    }
  }
}

TEST(Formula, BadTextIsRefusedWithItsPosition) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "at character 1: a value is missing at the end"},
      {"A*", "at character 3: a value is missing at the end"},
      {"A+D", "at character 3: there is no meter or function \"D\" (the meters are A, B and C)"},
      {"A*b", "at character 3: there is no meter or function \"b\" (the meters are A, B and C)"},
      {"sqrt(A)",
       "at character 1: there is no meter or function \"sqrt\" (the meters are A, B "
       "and C)"},
      {"(A*B", "at character 5: \")\" is missing"},
      {"A B", "at character 3: \"B\" was not expected here"},
      {"A ** B", "at character 4: \"*\" was not expected here"},
      {"A\u00F7\u00F7B", "at character 3: \"\u00F7\" was not expected here"},
      {"2,5*A", "at character 2: \",\" was not expected here"},
      {"integral B", "at character 10: \"(\" is missing after integral"},
      {"A)", "at character 2: \")\" was not expected here"},
  };
  for (const auto& [text, message] : cases) {
    try {
      Formula f(text, 3);
      ADD_FAILURE() << text << " was accepted";
    } catch (const FormulaError& e) {
      EXPECT_EQ(std::string(e.what()), message) << text;
    }
  }
}

TEST(Formula, AMissingOperandLeavesTheResultMissing) {
  Formula f("A*B + 0*integral(C)", 3);
  std::vector<std::optional<Quantity>> row = bench_row();
  row[1].reset();
  EXPECT_FALSE(f.next(0, row));
  EXPECT_FALSE(Formula("A/(B-B)", 3).next(0, bench_row()));  // no number to show
}

// A running integral against a trapezoid sum of its own: a series of uneven
// steps with a missing value and a reading after a gap, neither bridged.
TEST(Formula, IntegralIsATrapezoidSumThatHoldsAcrossGaps) {
  Formula f("integral(B)", 2);
  double expected = 0;
  double held_at_gap = -1;
  std::optional<std::pair<double, double>> last;  // seconds and amperes
  double seconds = 0;
  for (int i = 0; i < 2000; ++i) {
    seconds += 1 + (i % 7) * 0.25;
    const double amperes = 0.5 + 0.4 * std::sin(i / 30.0);
    const bool missing = i >= 700 && i < 760;
    const bool after_gap = i == 1500;
    std::vector<std::optional<Quantity>> row(2);
    if (!missing) row[1] = Quantity{amperes, *unit_of("A"), after_gap};
    const std::optional<Quantity> q = f.next(seconds, row);
    if (missing) {
      EXPECT_FALSE(q) << i;
      last.reset();
      continue;
    }
    if (last && !after_gap) expected += (seconds - last->first) * (amperes + last->second) / 2;
    last = {seconds, amperes};
    ASSERT_TRUE(q) << i;
    if (i == 760 || i == 1500) {
      EXPECT_DOUBLE_EQ(q->value, held_at_gap) << i;
    }
    held_at_gap = q->value;
    EXPECT_EQ(unit_name(q->unit), "A\u00B7h");
  }
  const double got = held_at_gap;
  EXPECT_NEAR(got, expected / 3600, expected / 3600 * 0.001);
}

// Rows where B's reading missed the tolerance (meters recorded by separate
// runs, their ticks half a second apart) are spanned; a longer stretch
// without B is a gap and is not. B is 1 A throughout: the sum counts seconds.
TEST(Formula, IntegralSpansAFewRowsWithoutAValueButNoGap) {
  struct Case {
    std::vector<int> missing;  // rows without B, of rows 0 to 9, one second apart
    double ampere_seconds;
  };
  const std::vector<Case> cases = {
      {{}, 9},        {{4}, 9},  // one row: spanned
      {{4, 5}, 9},               // two rows, three steps: spanned
      {{3, 4, 5}, 5},            // four steps: a gap; 0 to 2 and 6 to 9 are summed
      {{1}, 7},                  // before a step is known a missing row is a gap: 2 to 9
  };
  for (const Case& c : cases) {
    Formula f("integral(B)", 2);
    std::optional<Quantity> q;
    for (int i = 0; i < 10; ++i) {
      std::vector<std::optional<Quantity>> row(2);
      const bool missing = std::find(c.missing.begin(), c.missing.end(), i) != c.missing.end();
      if (!missing) row[1] = Quantity{1.0, *unit_of("A"), false};
      if (const auto now = f.next(i, row)) q = now;
    }
    ASSERT_TRUE(q);
    EXPECT_NEAR(q->value * 3600, c.ampere_seconds, 1e-9) << ::testing::PrintToString(c.missing);
  }
}

TEST(Formula, IntegralRefusesAUnitThatChanges) {
  Formula f("integral(A)", 1);
  f.next(0, {Quantity{1, *unit_of("A"), false}});
  try {
    f.next(1, {Quantity{1, *unit_of("V"), false}});
    ADD_FAILURE() << "a change of unit was integrated";
  } catch (const UnitError& e) {
    EXPECT_EQ(std::string(e.what()), "integral(A): the unit changes from A to V");
  }
}

}  // namespace
}  // namespace tarvo
