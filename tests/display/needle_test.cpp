#include "display/needle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace tarvo {
namespace {

CurrentReading reading(const std::string& main_range, const std::string& main_no) {
  CurrentReading r;
  r.Main_Range = main_range;
  r.Main_No = main_no;
  return r;
}

struct NeedleCase {
  const char* name;
  std::string main_range;
  std::string main_no;
  ArcScale arc;
  std::int64_t angle;
  PixelPoint tip;
  PixelPoint foot;
};

void PrintTo(const NeedleCase& c, std::ostream* os) {
  *os << c.name;
}

class NeedleGeometry : public ::testing::TestWithParam<NeedleCase> {};

TEST_P(NeedleGeometry, PlacesTheNeedle) {
  const NeedleCase& c = GetParam();
  const Readout r = update_readout(reading(c.main_range, c.main_no), ".", Readout{});
  EXPECT_EQ(r.mainno, c.main_no);
  EXPECT_TRUE(r.needle.drawn);
  EXPECT_EQ(r.needle.arc, c.arc);
  EXPECT_EQ(r.needle.angle, c.angle);
  EXPECT_EQ(r.needle.tip, c.tip);
  EXPECT_EQ(r.needle.foot, c.foot);
}

// Negative coordinates are truncated toward zero, so the left side is not the
// mirror image of the right.
INSTANTIATE_TEST_SUITE_P(
    Readings, NeedleGeometry,
    ::testing::Values(
        NeedleCase{
            "Half", "DCV AUTO 5.0000 V", "2.5000", ArcScale::Five, 4669, {255, 36}, {205, 145}},
        NeedleCase{"Zero", "DCV AUTO 5.0000 V", "0.0000", ArcScale::Five, 0, {165, 15}, {165, 145}},
        NeedleCase{
            "Overload", "DCV AUTO 5.0000 V", "OL", ArcScale::Five, 9338, {326, 96}, {273, 145}},
        NeedleCase{"NegativeOverload",
                   "DCV AUTO 5.0000 V",
                   "-OL",
                   ArcScale::Five,
                   -9338,
                   {5, 96},
                   {57, 145}},
        NeedleCase{"NegativeHalf",
                   "DCV AUTO 5.0000 V",
                   "-2.5000",
                   ArcScale::Five,
                   -4669,
                   {75, 36},
                   {125, 145}},
        NeedleCase{"FullScale",
                   "DCV AUTO 5.0000 V",
                   "5.0000",
                   ArcScale::Five,
                   9338,
                   {326, 96},
                   {273, 145}},
        NeedleCase{"TenTimesRange",
                   "DCV AUTO 50.000 V",
                   "25.000",
                   ArcScale::Five,
                   4669,
                   {255, 36},
                   {205, 145}},
        NeedleCase{"Kilohertz",
                   "FRE AUTO 9.9999 KHz",
                   "9.9999",
                   ArcScale::Ten,
                   9338,
                   {326, 96},
                   {273, 145}},
        NeedleCase{"CapacitanceWithoutSeparator",
                   "CAP AUTO 5000 uF",
                   "1250",
                   ArcScale::Five,
                   2334,
                   {211, 20},
                   {184, 145}}));

TEST(NeedleGeometry, UsesTheDecimalSeparator) {
  const Readout r = update_readout(reading("DCV AUTO 5,0000 V", "2,5000"), ",", Readout{});
  EXPECT_EQ(r.needle.angle, 4669);
  EXPECT_EQ(r.needle.tip, (PixelPoint{255, 36}));
}

struct ScaleCase {
  const char* main_range;
  ArcScale scale;
};

void PrintTo(const ScaleCase& c, std::ostream* os) {
  *os << c.main_range;
}

class NeedleScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(NeedleScale, FollowsTheFirstDigitOfTheRange) {
  EXPECT_EQ(arc_scale_for(GetParam().main_range), GetParam().scale) << GetParam().main_range;
}

INSTANTIATE_TEST_SUITE_P(Ranges, NeedleScale,
                         ::testing::Values(ScaleCase{"DCV MANU 1000.0 V", ArcScale::Ten},
                                           ScaleCase{"DCA AUTO 10.000 A", ArcScale::Ten},
                                           ScaleCase{"FRE AUTO 99.999 Hz", ArcScale::Ten},
                                           ScaleCase{"FRE AUTO 999.99 KHz", ArcScale::Ten},
                                           ScaleCase{"FRE AUTO 9.9999 MHz", ArcScale::Ten},
                                           ScaleCase{"CAP AUTO 5000 uF", ArcScale::Five},
                                           ScaleCase{"CAP AUTO 500.0 uF", ArcScale::Five},
                                           ScaleCase{"CAP AUTO 50.00 nF", ArcScale::Five},
                                           ScaleCase{"DCV AUTO 20.000 V", ArcScale::Twenty},
                                           ScaleCase{"DCV AUTO 200.00 mV", ArcScale::Twenty},
                                           ScaleCase{"DCV AUTO 25.000 V", ArcScale::TwentyFive},
                                           ScaleCase{"DCV AUTO 2.0000 V5", ArcScale::TwentyFive},
                                           ScaleCase{"DCV AUTO 3.0000 V", ArcScale::None},
                                           ScaleCase{"ACV AUTO  V", ArcScale::None},
                                           ScaleCase{" AUTO  ", ArcScale::None}));

struct WordCase {
  const char* main_no;
  std::int64_t angle;
};

void PrintTo(const WordCase& c, std::ostream* os) {
  *os << '"' << c.main_no << '"';
}

class NeedleWord : public ::testing::TestWithParam<WordCase> {};

TEST_P(NeedleWord, StandsAtAnEndOrAtZero) {
  EXPECT_EQ(needle_angle(GetParam().main_no, "DCV AUTO 5.0000 V", "."), GetParam().angle)
      << GetParam().main_no;
}

INSTANTIATE_TEST_SUITE_P(Words, NeedleWord,
                         ::testing::Values(WordCase{"UL", 9338}, WordCase{"-UL", -9338},
                                           WordCase{"HI", 9338}, WordCase{"--HI", 9338},
                                           WordCase{"Pass", 9338}, WordCase{"Open", 9338},
                                           WordCase{"LO", 0}, WordCase{"-LO", 0},
                                           WordCase{"Short", 0}, WordCase{"Fail", 0},
                                           WordCase{"----", 0}, WordCase{"", 0}));

TEST(Readout, ShowsTheTextAsItComes) {
  EXPECT_EQ(update_readout(reading("DCV AUTO 5.0000 V", "Fail"), ".", {}).mainno, "Fail");
  EXPECT_EQ(update_readout(reading("DCV AUTO 5.0000 V", ""), ".", {}).mainno, "0");
  EXPECT_EQ(Readout{}.mainno, "0");
}

// The needle of the last good reading stays, on its own picture; the box
// still shows what arrived, and nothing is thrown.
TEST(Readout, UnconvertibleNumberLeavesTheNeedle) {
  const Readout before = update_readout(reading("DCV AUTO 5.0000 V", "2.5000"), ".", {});
  const std::vector<CurrentReading> bad = {
      reading("ACV AUTO  V", "4254"),          // no range text
      reading("DCA AUTO 10.000 A", "12a"),     // no number
      reading("DCV AUTO 5,0000 V", "2.5000"),  // wrong decimal mark in the range
      reading("DCV AUTO 0.0000 V", "1.0000"),  // zero range
      reading("DCV AUTO 1000.0 V", "1.0e2"),   // no plain decimal
  };
  for (const CurrentReading& r : bad) {
    const Readout after = update_readout(r, ".", before);
    EXPECT_EQ(after.needle, before.needle) << r.Main_Range << " / " << r.Main_No;
    EXPECT_EQ(after.mainno, r.Main_No);
  }
}

TEST(Readout, RangeWithoutScaleKeepsThePicture) {
  const Readout ten = update_readout(reading("DCV MANU 1000.0 V", "500.0"), ".", {});
  const Readout r = update_readout(reading("ACV AUTO  V", "OL"), ".", ten);
  EXPECT_EQ(r.needle.arc, ArcScale::Ten);
  EXPECT_EQ(r.needle.angle, 9338);
}

TEST(Readout, ResetShowsTheTwentyArcWithoutNeedle) {
  EXPECT_EQ(Readout{}.needle.picture(), "BMP_BP_20");
  const Readout five = update_readout(reading("DCV AUTO 5.0000 V", "2.5000"), ".", {});
  ASSERT_EQ(five.needle.picture(), "BMP_BP_5");

  const Readout bench = reset_readout(MeterModel::ModelTarvo, five);
  EXPECT_FALSE(bench.needle.drawn);
  EXPECT_EQ(bench.needle.picture(), "BMP_BP_20");
  EXPECT_EQ(bench.mainno, "2.5000");
  // The next reading of the old scale brings its own picture back in full.
  const Readout next = update_readout(reading("DCV AUTO 5.0000 V", "1.0000"), ".", bench);
  EXPECT_EQ(next.needle.picture(), "BMP_BP_5");
  EXPECT_TRUE(next.needle.drawn);

  const Readout compact = reset_readout(MeterModel::ModelNoxel, five);
  EXPECT_FALSE(compact.needle.drawn);
  EXPECT_EQ(compact.needle.picture(), "BMP_BP_5");
}

// Far beyond the range the needle turns past the end of the arc and beyond
// the bottom of the picture; the state stays defined.
TEST(Readout, ExtremeValuesStayDefined) {
  const Readout past = update_readout(reading("DCV AUTO 5.0000 V", "9.0000"), ".", {});
  EXPECT_EQ(past.needle.angle, 16808);
  EXPECT_GT(past.needle.tip.y, 145);
  const Readout huge =
      update_readout(reading("DCV AUTO 0.0001 V", "-922337203685477.5807"), ".", {});
  EXPECT_TRUE(huge.needle.drawn);
  EXPECT_EQ(huge.needle.foot.y, 145);
}

struct FaceCase {
  ArcScale scale;
  std::vector<std::string> right_numbers;
  std::size_t ticks;
};

void PrintTo(const FaceCase& c, std::ostream* os) {
  *os << arc_face(c.scale).picture;
}

class NeedleArcFace : public ::testing::TestWithParam<FaceCase> {};

TEST_P(NeedleArcFace, NumbersBothSidesAndEndsWhereFullScaleStands) {
  const FaceCase& c = GetParam();
  const std::vector<ArcTick> ticks = arc_ticks(arc_face(c.scale));
  ASSERT_EQ(ticks.size(), c.ticks);
  std::vector<std::string> right;
  for (const ArcTick& t : ticks) {
    if (t.numbered && t.value >= 0) right.push_back(t.label);
  }
  EXPECT_EQ(right, c.right_numbers);
  EXPECT_EQ(ticks.front().label, ticks.back().label);

  // The drawn end of the arc and a full-scale needle tip meet within a pixel.
  const PixelPoint tip = needle_tip(kFullScaleAngle);
  const ArcPoint end = arc_point(ticks.back().radians, kArcRadius);
  EXPECT_NEAR(end.x, tip.x, 1.0);
  EXPECT_NEAR(end.y, tip.y, 1.0);
  EXPECT_DOUBLE_EQ(ticks[ticks.size() / 2].radians, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Faces, NeedleArcFace,
    ::testing::Values(FaceCase{ArcScale::Five, {"0", "1", "2", "3", "4", "5"}, 21},
                      FaceCase{ArcScale::Ten, {"0", "2", "4", "6", "8", "10"}, 21},
                      FaceCase{ArcScale::Twenty, {"0", "5", "10", "15", "20"}, 41},
                      FaceCase{ArcScale::TwentyFive, {"0", "5", "10", "15", "20", "25"}, 51}));

}  // namespace
}  // namespace tarvo
