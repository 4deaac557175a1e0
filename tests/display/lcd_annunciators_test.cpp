#include "display/lcd_annunciators.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

std::vector<int> lit_numbers(const LcdView& view) {
  std::vector<int> numbers;
  for (std::size_t k = 0; k < kLcdOverlayCount; ++k) {
    if (view.lit.test(k)) numbers.push_back(static_cast<int>(k));
  }
  return numbers;
}

// The reading fields the panel reads, with setters that read like the meter's
// state: Meter("DCV AUTO 50.000 V", "-12.345").sub("FRE 9.9999 KHz", "0.0060").
struct Meter {
  explicit Meter(std::string main_range, std::string main_no = "1.2345") {
    r.Main_Range = std::move(main_range);
    r.Main_No = std::move(main_no);
    r.Sub_range = "  ";
    r.is_AUTO = r.Main_Range.find("AUTO") != std::string::npos;
  }
  Meter& sub(std::string range, std::string number) {
    r.Sub_range = std::move(range);
    r.Sub_No = std::move(number);
    return *this;
  }
  Meter& hold() {
    r.is_HOLD = true;
    return *this;
  }
  Meter& rel() {
    r.is_REL = true;
    return *this;
  }
  Meter& sub_dbm() {
    r.is_Sub_dBm = true;
    return *this;
  }
  Meter& stat(int mode) {
    r.Stat_Mode = mode;
    return *this;
  }

  CurrentReading r;
};

struct LcdCase {
  LcdCase(const char* name, Meter meter, std::vector<int> lit, std::string main_caption,
          std::string sub_caption = "", std::optional<std::string> range_caption = std::nullopt)
      : name(name),
        reading(std::move(meter.r)),
        lit(std::move(lit)),
        main_caption(std::move(main_caption)),
        sub_caption(std::move(sub_caption)),
        range_caption(std::move(range_caption)) {}

  const char* name;
  CurrentReading reading;
  std::vector<int> lit;
  std::string main_caption;
  std::string sub_caption;                   // empty: the sub label is hidden
  std::optional<std::string> range_caption;  // nullopt: the range label is hidden
};

void PrintTo(const LcdCase& c, std::ostream* os) {
  *os << c.name;
}

class LcdUpdate : public ::testing::TestWithParam<LcdCase> {};

TEST_P(LcdUpdate, LightsLegendsAndSetsLabels) {
  const LcdCase& c = GetParam();
  const LcdView view = update_lcd(c.reading, ".", init_lcd_table({}));
  EXPECT_EQ(lit_numbers(view), c.lit);
  EXPECT_EQ(view.main_no.caption, c.main_caption);
  EXPECT_TRUE(view.main_no.visible);
  EXPECT_EQ(view.sub_no.visible, !c.sub_caption.empty());
  EXPECT_EQ(view.sub_no.caption, c.sub_caption);
  EXPECT_EQ(view.range.visible, c.range_caption.has_value());
  if (c.range_caption) {
    EXPECT_EQ(view.range.caption, *c.range_caption);
  }
}

// Lit lists name overlay numbers; the captions are main, sub (empty: hidden)
// and range (hidden when not given).
// clang-format off
INSTANTIATE_TEST_SUITE_P(Readings, LcdUpdate, ::testing::Values(
    LcdCase{"TestFrame", Meter("ACV AUTO 5.0000 V", "0.4254"), {1, 8, 20, 29, 55}, "0.4254"},
    LcdCase{"SubFrequency", Meter("DCV AUTO 50.000 V", "-12.345").sub("FRE 9.9999 KHz", "0.0060"),
            {1, 8, 22, 23, 29, 55, 59, 60}, "12.345", "0.0060"},
    LcdCase{"MegohmRelative",
            Meter("OHM MANU 5.0000 M\u03A9", "0.1234").sub("OHM 5.0000 M\u03A9", "0.0123").rel(),
            {3, 9, 33, 35, 52, 55, 57, 58}, "0.1234", "0.0123", "5.0000"},
    LcdCase{"ContinuityHidesRange", Meter("CON MANU 500.00 \u03A9", "OL"), {3, 7, 9, 35, 55}, "OL"},
    LcdCase{"DiodeLeavesVoltDark", Meter("DIO MANU 5.0000 V", "0.5123"), {6, 9, 29, 55},
            "0.5123", "", "5.0000"},
    LcdCase{"HighVoltage", Meter("DCV MANU 1000.0 V", "523.4"), {1, 9, 22, 24, 29, 55},
            "523.4", "", "1000.0"},
    LcdCase{"NegativeIsNotHigh", Meter("DCV MANU 1000.0 V", "-40.000"), {1, 9, 22, 23, 29, 55},
            "40.000", "", "1000.0"},
    LcdCase{"OverloadIsHigh", Meter("DCV MANU 1000.0 V", "OL"), {1, 9, 22, 24, 29, 55},
            "OL", "", "1000.0"},
    LcdCase{"NegativeOverloadIsHigh", Meter("DCV MANU 1000.0 V", "-OL"), {1, 9, 22, 23, 24, 29, 55},
            "OL", "", "1000.0"},
    LcdCase{"ThirtySixIsNotHigh", Meter("ACV AUTO 50.000 V", "36.000"), {1, 8, 20, 29, 55},
            "36.000"},
    LcdCase{"JustAboveThirtySix", Meter("ACV AUTO 50.000 V", "36.001"), {1, 8, 20, 24, 29, 55},
            "36.001"},
    LcdCase{"MillivoltsNeverHigh", Meter("DCV AUTO 500.00 mV", "OL"), {1, 8, 22, 28, 29, 55}, "OL"},
    LcdCase{"AcPlusDcHeld", Meter("DCV+ACV AUTO 500.00 V", "40.00").hold(),
            {1, 8, 10, 20, 21, 22, 24, 29, 55}, "40.00"},
    LcdCase{"MaxMinus",
            Meter("DCA AUTO 500.00 mA", "-12.34").sub("DCA 500.00 mA", "-43.21").stat(3),
            {2, 8, 22, 23, 30, 32, 50, 51, 54, 55, 65}, "12.34", "43.21"},
    LcdCase{"Max", Meter("ACA AUTO 5000.0 uA", "1.0").sub("ACA 5000.0 uA", "2.0").stat(1),
            {2, 8, 20, 31, 32, 50, 55}, "1.0", "2.0"},
    LcdCase{"Min", Meter("DCA AUTO 5.0000 A", "1.0").sub("DCA 5.0000 A", "2.0").stat(2),
            {2, 8, 22, 32, 51, 55}, "1.0", "2.0"},
    LcdCase{"Average", Meter("DCA AUTO 5.0000 A", "1.0").sub("DCA 5.0000 A", "2.0").stat(4),
            {2, 8, 22, 32, 53, 55}, "1.0", "2.0"},
    LcdCase{"StatisticsFive",
            Meter("DCA AUTO 500.00 mA", "1.00").sub("DCA 500.00 mA", "1.00").stat(5),
            {2, 8, 22, 30, 32, 55}, "1.00", "1.00"},
    LcdCase{"Kilohertz", Meter("FRE AUTO 9.9999 KHz", "1.0000"), {4, 8, 34, 36, 55}, "1.0000"},
    LcdCase{"Nanofarad", Meter("CAP AUTO 50.00 nF", "1.00"), {5, 8, 26, 27, 55}, "1.00"},
    LcdCase{"Microfarad", Meter("CAP MANU 5.000 uF", "1.000"), {5, 9, 25, 27, 55},
            "1.000", "", "5.000"},
    LcdCase{"SubDbm", Meter("ACV AUTO 5.0000 V", "1.0").sub("dBm 99.99 dBm", "-3.00").sub_dbm(),
            {1, 8, 20, 29, 55, 63, 64, 65}, "1.0", "3.00"},
    LcdCase{"SubDbmFlagAlone", Meter("ACV AUTO 5.0000 V", "1.0").sub_dbm(),
            {1, 8, 20, 29, 55, 63, 64}, "1.0"},
    LcdCase{"CompactDbm", Meter("dBm AUTO 99.99 dBm", "12.34").sub("", ""), {8, 55, 63, 64},
            "12.34"},
    LcdCase{"CompactDuty", Meter("DUT AUTO 99.99 %", "50.00").sub("", ""), {8, 55, 61, 62},
            "50.00"},
    LcdCase{"SubDuty", Meter("FRE AUTO 999.99 Hz", "50.00").sub("DUT 99.99 %", "50.00"),
            {4, 8, 36, 55, 61, 62}, "50.00", "50.00"},
    // The range word's "M" never counts, nor does the first "M" after it when
    // it falls on the next two characters.
    LcdCase{"MegaFromThirdPlace", Meter("OHM MANM 500.00 \u03A9"), {3, 9, 33, 35, 55},
            "1.2345", "", "500.00"},
    LcdCase{"MegaOnSecondPlace", Meter("OHM MAMU 500.00 M\u03A9"), {3, 9, 35, 55},
            "1.2345", "", "500.00"},
    LcdCase{"FirstMegaDecides", Meter("OHM MMNU 500.00 M\u03A9"), {3, 9, 35, 55},
            "1.2345", "", "500.00"},
    LcdCase{"SubKiloOhm", Meter("OHM AUTO 50.000 K\u03A9").sub("OHM 50.000 K\u03A9", "1.0"),
            {3, 8, 34, 35, 55, 57, 59}, "1.2345", "1.0"},
    // Manual ranging shows the range label even with nothing in it.
    LcdCase{"EmptyReading", Meter("", "").sub("", ""), {9, 55}, "", "", ""}));
// clang-format on

TEST(LcdUpdate, ReadsTheNumberWithTheDecimalSeparator) {
  const CurrentReading high = Meter("DCV MANU 1000,0 V", "36,001").r;
  EXPECT_TRUE(update_lcd(high, ",", {}).is_lit(Annunciator::HighVoltage));
  EXPECT_EQ(update_lcd(high, ",", {}).range.caption, "1000,0");
  const CurrentReading low = Meter("DCV MANU 1000,0 V", "35,999").r;
  EXPECT_FALSE(update_lcd(low, ",", {}).is_lit(Annunciator::HighVoltage));
  // With the wrong mark the text is no number, which lights the flash.
  EXPECT_TRUE(update_lcd(low, ".", {}).is_lit(Annunciator::HighVoltage));
}

TEST(LcdUpdate, HiddenRangeLabelKeepsItsCaption) {
  LcdView view = update_lcd(Meter("DCV MANU 50.000 V").r, ".", {});
  ASSERT_TRUE(view.range.visible);
  view = update_lcd(Meter("DCV AUTO 500.00 V").r, ".", view);
  EXPECT_FALSE(view.range.visible);
  EXPECT_EQ(view.range.caption, "50.000");
  view = update_lcd(Meter("CON MANU 500.00 \u03A9").r, ".", view);
  EXPECT_FALSE(view.range.visible);
  EXPECT_EQ(view.range.caption, "50.000");
}

TEST(LcdStartUp, ShowsEveryLegendAndTheDesignCaptions) {
  const LcdView created;
  EXPECT_TRUE(created.lit.none());
  const LcdView shown = init_lcd_table(created);
  EXPECT_EQ(shown.lit.count(), kAnnunciatorTable.size());
  EXPECT_TRUE(shown.is_lit(Annunciator::Mem));
  EXPECT_TRUE(shown.is_lit(Annunciator::Wait));
  for (const LcdLabel label : {LcdLabel::MainNo, LcdLabel::SubNo, LcdLabel::Range}) {
    EXPECT_EQ(shown.label(label).caption, "88.888");
    EXPECT_TRUE(shown.label(label).visible);
  }
}

TEST(LcdReset, RelightsEverythingOnlyForTheBenchFamily) {
  const LcdView last = update_lcd(Meter("DCV MANU 50.000 V", "-1.5").r, ".", {});
  const LcdView bench = reset_lcd(MeterModel::ModelTarvo, last);
  EXPECT_EQ(bench.lit.count(), 44u);
  EXPECT_EQ(bench.main_no, last.main_no);
  EXPECT_EQ(bench.range, last.range);
  EXPECT_EQ(reset_lcd(MeterModel::ModelNoxel, last).lit, last.lit);
  EXPECT_EQ(reset_lcd(MeterModel::None, last).lit, last.lit);
}

bool overlap(const LcdRect& a, const LcdRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

TEST(LcdAnnunciatorTable, RectanglesAreDistinctAndInsideThePicture) {
  std::set<std::size_t> numbers;
  for (const AnnunciatorRow& row : kAnnunciatorTable) {
    const LcdRect r = row.rect;
    EXPECT_TRUE(numbers.insert(overlay_number(row.id)).second) << row.text;
    EXPECT_LT(overlay_number(row.id), kLcdOverlayCount);
    EXPECT_GT(r.width, 0) << row.text;
    EXPECT_GT(r.height, 0) << row.text;
    EXPECT_LE(r.left + r.width, kLcdWidth) << row.text;
    EXPECT_LE(r.top + r.height, kLcdHeight) << row.text;
    for (const AnnunciatorRow& other : kAnnunciatorTable) {
      if (&other == &row) continue;
      EXPECT_FALSE(overlap(r, other.rect)) << row.text << " / " << other.text;
    }
  }
  EXPECT_EQ(lcd_rect(12).width, 0);
  EXPECT_EQ(lcd_rect(overlay_number(Annunciator::PcLink)).width, 55);
}

}  // namespace
}  // namespace tarvo
