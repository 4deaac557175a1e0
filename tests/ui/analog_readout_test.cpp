#include "analog_readout.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <set>
#include <string>

#include "lower_panel_pictures.h"

namespace tarvo {
namespace {

CurrentReading reading(std::string main_range, std::string main_no) {
  CurrentReading r;
  r.Main_Range = std::move(main_range);
  r.Main_No = std::move(main_no);
  return r;
}

QLineF needle_line(const AnalogReadout& readout) {
  const NeedleState& n = readout.readout().needle;
  return QLineF(n.tip.x, n.tip.y, n.foot.x, n.foot.y);
}

// The needle's colour within a pixel of a point of the picture; smoothing on a
// dense screen may blend the line's edges, not its middle.
bool needle_near(const QImage& image, qreal ratio, QPointF at) {
  const QColor needle(kNeedleColour.red, kNeedleColour.green, kNeedleColour.blue);
  const QPoint centre = (at * ratio).toPoint();
  const int reach = qCeil(ratio);
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      const QPoint p = centre + QPoint(dx, dy);
      if (image.rect().contains(p) && colour_distance(image.pixelColor(p), needle) < 40) {
        return true;
      }
    }
  }
  return false;
}

// The picture is the named scale, untouched except along the current needle.
void expect_scale_with_needle(AnalogReadout& readout, std::string_view picture) {
  const qreal ratio = readout.devicePixelRatioF();
  const QImage shown = grab_image(readout);
  const QLineF needle = needle_line(readout);
  EXPECT_EQ(differing_pixels(shown, picture_image(picture, ratio), ratio, needle, 1.5), 0)
      << "the picture should be " << picture << " and the needle";
  EXPECT_TRUE(needle_near(shown, ratio, needle.pointAt(0.5))) << "no needle drawn";
}

void expect_bare_scale(AnalogReadout& readout, std::string_view picture) {
  EXPECT_EQ(grab_image(readout), picture_image(picture, readout.devicePixelRatioF()))
      << "the picture should be " << picture << " without a needle";
}

TEST(AnalogReadout, OpensOnTheTwentyArcWithoutNeedle) {
  AnalogReadout readout;
  QLineEdit mainno;
  readout.set_mainno(&mainno);
  EXPECT_EQ(readout.objectName(), "IMG_BP");
  EXPECT_EQ(mainno.text(), "0");
  expect_bare_scale(readout, "BMP_BP_20");
}

TEST(AnalogReadout, ShowsTheNumberAndTheNeedleOnTheScaleOfTheRange) {
  AnalogReadout readout;
  QLineEdit mainno;
  readout.set_mainno(&mainno);
  QSignalSpy changed(&readout, &AnalogReadout::mainno_changed);

  readout.show_reading(reading("DCV AUTO 5.0000 V", "2.5000"), ".");

  EXPECT_EQ(mainno.text(), "2.5000");
  EXPECT_EQ(readout.mainno_text(), "2.5000");
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).toString(), "2.5000");
  EXPECT_EQ(needle_line(readout), QLineF(255, 36, 205, 145));
  expect_scale_with_needle(readout, "BMP_BP_5");
  if (readout.devicePixelRatioF() == 1.0) {
    // At 1x the line is exact: it starts at the tip and stops short of the foot.
    const QImage shown = grab_image(readout);
    const QColor needle(kNeedleColour.red, kNeedleColour.green, kNeedleColour.blue);
    EXPECT_EQ(shown.pixelColor(255, 36), needle);
    EXPECT_NE(shown.pixelColor(205, 145), needle);
    EXPECT_EQ(shown.pixelColor(205, 144), needle);
  }
}

TEST(AnalogReadout, OverloadsStandAtTheEndsOfTheArc) {
  struct Case {
    const char* main_no;
    QLineF needle;
  };
  for (const Case& c :
       {Case{"OL", QLineF(326, 96, 273, 145)}, Case{"-OL", QLineF(5, 96, 57, 145)}}) {
    AnalogReadout readout;
    readout.show_reading(reading("DCV AUTO 50.000 V", c.main_no), ".");
    EXPECT_EQ(readout.mainno_text().toStdString(), c.main_no);
    EXPECT_EQ(needle_line(readout), c.needle) << c.main_no;
    expect_scale_with_needle(readout, "BMP_BP_5");
  }
}

bool under_a_control(QPointF at) {
  for (const ArcRect& c : kArcCovered) {
    if (at.x() >= c.left && at.x() < c.left + c.width && at.y() >= c.top &&
        at.y() < c.top + c.height) {
      return true;
    }
  }
  return false;
}

// btn_test lies over the lower right of the arc: at overload the needle runs
// under it, and the part from the tip down to the button stays in sight.
TEST(AnalogReadout, TheOverloadNeedleShowsAboveTheTestButton) {
  AnalogReadout readout;
  readout.show_reading(reading("DCV AUTO 50.000 V", "OL"), ".");
  const qreal ratio = readout.devicePixelRatioF();
  const QImage shown = grab_image(readout);
  const QColor needle(kNeedleColour.red, kNeedleColour.green, kNeedleColour.blue);
  std::set<int> rows;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      if (!under_a_control(QPointF(x, y) / ratio) &&
          colour_distance(shown.pixelColor(x, y), needle) < 40) {
        rows.insert(static_cast<int>(y / ratio));
      }
    }
  }
  EXPECT_GE(rows.size(), 20u);
}

TEST(AnalogReadout, ResetAfterABenchAcquisitionShowsTheTwentyArcThenTheNextScaleInFull) {
  AnalogReadout readout;
  QLineEdit mainno;
  readout.set_mainno(&mainno);
  readout.show_reading(reading("DCV AUTO 5.0000 V", "2.5000"), ".");

  readout.reset(MeterModel::ModelTarvo);
  expect_bare_scale(readout, "BMP_BP_20");
  EXPECT_EQ(mainno.text(), "2.5000");

  readout.show_reading(reading("DCV AUTO 5.0000 V", "-1.0000"), ".");
  expect_scale_with_needle(readout, "BMP_BP_5");
}

TEST(AnalogReadout, ResetAfterACompactAcquisitionOnlyRemovesTheNeedle) {
  AnalogReadout readout;
  readout.show_reading(reading("dBm AUTO 99.99 dBm", "4.77"), ".");
  readout.reset(MeterModel::ModelNoxel);
  expect_bare_scale(readout, "BMP_BP_10");
}

TEST(AnalogReadout, NumberThatDoesNotConvertLeavesTheNeedle) {
  AnalogReadout readout;
  QLineEdit mainno;
  readout.set_mainno(&mainno);
  readout.show_reading(reading("DCV AUTO 5.0000 V", "2.5000"), ".");
  const QImage before = grab_image(readout);

  for (const CurrentReading& r : {reading("", "1.0000"), reading("DCV AUTO 5.0000 V", "1,0000"),
                                  reading("DCV AUTO 0 V", "1.0000")}) {
    readout.show_reading(r, ".");
    EXPECT_EQ(mainno.text().toStdString(), r.Main_No);
    EXPECT_EQ(needle_line(readout), QLineF(255, 36, 205, 145)) << r.Main_Range;
    EXPECT_EQ(grab_image(readout), before) << r.Main_Range << " " << r.Main_No;
  }
}

// Past full scale the needle's foot leaves the narrow band a partial repaint
// would restore; the whole picture is drawn again instead.
TEST(AnalogReadout, NeedleBeyondTheArcLeavesNoTrace) {
  AnalogReadout readout;
  readout.show_reading(reading("DCV AUTO 5.0000 V", "5.6000"), ".");
  readout.show_reading(reading("DCV AUTO 5.0000 V", "1.0000"), ".");
  expect_scale_with_needle(readout, "BMP_BP_5");

  readout.show_reading(reading("DCV AUTO 5.0000 V", "-9.9999"), ".");
  readout.show_reading(reading("DCV AUTO 5.0000 V", "0.0000"), ".");
  expect_scale_with_needle(readout, "BMP_BP_5");
}

}  // namespace
}  // namespace tarvo
