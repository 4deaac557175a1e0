#include "combine/time_base.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "combine/combined_rows.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

MeterReading at(std::int64_t ms, std::optional<double> value = 1, std::string_view unit = "V") {
  MeterReading r;
  r.utc_ms = ms;
  r.value = value;
  r.unit = unit;
  return r;
}

TEST(TimeBase, SameMomentInTwoZonesIsOneTime) {
  LocalTime paris{2026, 12, 9, 14, 3, 37, 250, 60};
  LocalTime london{2026, 12, 9, 13, 3, 37, 250, 0};
  LocalTime kolkata{2026, 12, 9, 18, 33, 37, 250, 330};
  EXPECT_EQ(utc_milliseconds(paris), utc_milliseconds(london));
  EXPECT_EQ(utc_milliseconds(kolkata), utc_milliseconds(london));
  EXPECT_EQ(utc_milliseconds({1970, 1, 1, 0, 0, 1, 5, 0}), 1005);
}

// What a session's records leave for combining: the number in its base unit,
// none for an overload or a unit no formula can place, no test frame, no
// undated record, and the mark of a reading after a gap.
TEST(TimeBase, SessionRecordsBecomeReadingsInBaseUnits) {
  struct Case {
    const char* number;
    const char* range;
    bool dated, test_frame, after_gap;
    bool kept;
    std::optional<double> value;
    std::string_view unit;
  };
  const Case cases[] = {
      {"500.00", "DCA AUTO 500.00 mA", true, false, false, true, 0.5, "A"},
      {"12.345", "OHM AUTO 50.000 K\u03A9", true, false, true, true, 12345, "\u03A9"},
      {"OL", "DCV AUTO 50.000 V", true, false, false, true, std::nullopt, "V"},
      {"25.0", "TEMP AUTO 100.0 \u2103", true, false, false, true, std::nullopt, ""},
      {"1.0000", "DCV AUTO 5.0000 V", true, true, false, false, std::nullopt, ""},
      {"1.0000", "DCV AUTO 5.0000 V", false, false, false, false, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    std::vector<MeterReading> readings;
    MeterReadingSink sink(readings, ".");
    real_Record r = sheet_test::record(1, "10:00:00", c.number, c.range);
    r.Dated = c.dated;
    r.DateTime = LocalTime{2026, 12, 9, 10, 0, 0, 0, 60};
    r.TestFrame = c.test_frame;
    r.AfterGap = c.after_gap;
    sink.add(std::move(r));
    ASSERT_EQ(readings.size(), c.kept ? 1u : 0u) << c.range;
    if (!c.kept) continue;
    EXPECT_EQ(readings[0].value, c.value) << c.range;
    EXPECT_EQ(readings[0].unit, c.unit) << c.range;
    EXPECT_EQ(readings[0].after_gap, c.after_gap) << c.range;
    EXPECT_EQ(readings[0].utc_ms, utc_milliseconds({2026, 12, 9, 9, 0, 0, 0, 0}));
  }
}

TEST(TimeBase, EachRowTakesTheNearestReadingWithinTheTolerance) {
  const std::vector<MeterReading> readings = {at(1000), at(2400), at(3000), at(9000)};
  struct Case {
    std::int64_t row;
    std::int64_t tolerance;
    std::optional<std::size_t> match;
  };
  const Case cases[] = {
      {1000, 0, 0},               // the same moment
      {1500, 500, 0},             // at the tolerance's edge
      {1501, 500, std::nullopt},  // just beyond it: empty, not the last one carried
      {2700, 500, 1},             // equally near two: the earlier
      {2800, 500, 2},             // nearer the later
      {6000, 500, std::nullopt},  // the meter was away
      {6000, 3000, 2},            // a tolerance wide enough bridges it
      {500, 500, 0},              // before the first reading
      {9600, 500, std::nullopt},  // after the last
  };
  for (const Case& c : cases) {
    EXPECT_EQ(nearest_reading(c.row, readings, c.tolerance), c.match)
        << c.row << " within " << c.tolerance;
  }
  EXPECT_EQ(nearest_reading(1000, {}, 500), std::nullopt);
}

// The rows follow the first meter; the second one's silence leaves its cells
// and the product empty, and the rows after it are matched again.
TEST(TimeBase, AMeterThatIsAwayLeavesItsCellsEmpty) {
  const std::vector<MeterReading> volts = {at(0, 12), at(1000, 12.5), at(2000, 13), at(3000, 13.5)};
  const std::vector<MeterReading> amps = {at(100, 2, "A"), at(2900, 3, "A")};
  std::vector<NamedFormula> formulas;
  formulas.push_back({"P", Formula("A*B", 2)});
  const std::vector<std::vector<MeterReading>> meters = {volts, amps};
  CombinedRows rows(meters, formulas, 500);
  EXPECT_EQ(rows.channels(), (std::vector<std::string>{"A", "B", "P"}));
  std::vector<CombinedRow> t;
  for (CombinedRow row; rows.next(row);) t.push_back(row);
  ASSERT_EQ(t.size(), 4u);
  const std::vector<std::optional<double>> b = {2, std::nullopt, std::nullopt, 3};
  const std::vector<std::optional<double>> p = {24, std::nullopt, std::nullopt, 40.5};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(t[i].cells[0].value, volts[i].value) << i;
    EXPECT_EQ(t[i].cells[1].value, b[i]) << i;
    EXPECT_EQ(t[i].cells[1].text.empty(), !b[i]) << i;
    EXPECT_EQ(t[i].cells[1].unit, b[i] ? "A" : "") << i;
    EXPECT_EQ(t[i].cells[2].value, p[i]) << i;
    EXPECT_EQ(t[i].cells[2].unit, p[i] ? "W" : "") << i;
  }
}

TEST(TimeBase, ProductsAreWrittenWithoutBinaryNoise) {
  const std::pair<double, std::string> cases[] = {{12.003 * 0.5003, "6.0051009"},
                                                  {-0.0, "0"},
                                                  {1e-7, "1e-07"},
                                                  {24, "24"},
                                                  {1.0 / 3, "0.333333333333333"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(decimal_text(value), text) << value;
}

}  // namespace
}  // namespace tarvo
