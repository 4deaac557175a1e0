#include "artwork.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRegion>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "display/arc_face.h"
#include "display/lcd_annunciators.h"
#include "lower_panel_pictures.h"

namespace tarvo {
namespace {

QImage resource(std::string_view name, bool dense) {
  const QString path = QStringLiteral(":/%1%2.png")
                           .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                                dense ? QStringLiteral("@2x") : QString());
  return QImage(path).convertToFormat(QImage::Format_RGB32);
}

struct PictureSize {
  std::string_view name;
  QSize size;
};

std::vector<PictureSize> all_pictures() {
  std::vector<PictureSize> pictures{{kLcdBlankPicture, {kLcdWidth, kLcdHeight}},
                                    {kLcdLitPicture, {kLcdWidth, kLcdHeight}}};
  for (const ArcFace& face : kArcFaces) {
    pictures.push_back({face.picture, {kArcPictureWidth, kArcPictureHeight}});
  }
  return pictures;
}

TEST(Artwork, EveryPictureComesAtItsSizeAndTwiceThat) {
  for (const PictureSize& p : all_pictures()) {
    EXPECT_EQ(resource(p.name, false).size(), p.size) << p.name;
    EXPECT_EQ(resource(p.name, true).size(), p.size * 2) << p.name;
    for (const qreal ratio : {1.0, 2.0}) {
      const QPixmap pixmap = artwork_pixmap(p.name, ratio);
      EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(p.size)) << p.name << " at " << ratio;
    }
  }
  EXPECT_TRUE(artwork_pixmap("BMP_NONE", 1.0).isNull());
}

TEST(Artwork, IconComesInItsSizes) {
  const QIcon icon = app_icon();
  EXPECT_FALSE(icon.isNull());
  EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
  EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
}

bool is_white(QRgb pixel) {
  return pixel == qRgb(255, 255, 255);
}

// The lit picture differs from the blank one only inside the legends'
// rectangles (and its wider border), and every legend draws something there.
TEST(Artwork, LegendsLieInsideTheirRectangles) {
  for (const bool dense : {false, true}) {
    const int s = dense ? 2 : 1;
    const QImage lit = resource(kLcdLitPicture, dense);
    const QImage blank = resource(kLcdBlankPicture, dense);
    const QRect field = QRect(4, 4, kLcdWidth - 8, kLcdHeight - 8);
    QRegion legends;
    for (const AnnunciatorRow& row : kAnnunciatorTable) {
      const QRect r =
          device_rect({row.rect.left, row.rect.top, row.rect.width, row.rect.height}, s);
      legends += r;
      int inked = 0;
      for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) inked += is_white(lit.pixel(x, y)) ? 0 : 1;
      }
      EXPECT_GT(inked, 4 * s * s) << "overlay " << overlay_number(row.id) << " dense " << dense;
    }
    int strays = 0;
    const QRect inner = device_rect(field, s);
    for (int y = inner.top(); y <= inner.bottom(); ++y) {
      for (int x = inner.left(); x <= inner.right(); ++x) {
        if (!legends.contains(QPoint(x, y)) && lit.pixel(x, y) != blank.pixel(x, y)) ++strays;
      }
    }
    EXPECT_EQ(strays, 0) << "dense " << dense;
  }
}

TEST(Artwork, BlankLcdIsAWhiteFieldInATwoPixelBorder) {
  const QImage blank = resource(kLcdBlankPicture, false);
  for (const QPoint p : {QPoint(0, 0), QPoint(1, 75), QPoint(506, 148), QPoint(254, 1)}) {
    EXPECT_EQ(blank.pixel(p), qRgb(0, 0, 0)) << p.x() << "," << p.y();
  }
  for (const QPoint p : {QPoint(2, 2), QPoint(254, 75), QPoint(505, 147)}) {
    EXPECT_TRUE(is_white(blank.pixel(p))) << p.x() << "," << p.y();
  }
}

QColor at_polar(const QImage& image, double radians, double radius) {
  const ArcPoint p = arc_point(radians, radius);
  return image.pixelColor(static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)));
}

// Ticks are smoothed lines: a thin one may share its ink between two pixels.
bool marked_pixel(QColor c) {
  return c.lightness() < 190;
}

class ArcFacePicture : public ::testing::TestWithParam<ArcFace> {};

TEST_P(ArcFacePicture, HasFrameBandAndTicksWhereTheNeedleGoes) {
  const ArcFace& face = GetParam();
  const QImage image = resource(face.picture, false);
  EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(1, 149), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(328, 75), qRgb(0, 0, 0));
  EXPECT_TRUE(is_white(image.pixel(2, 2)));

  // The band lies just inside the needle's reach: green at zero, red at the
  // ends, white face beyond it.
  const double end = kArcHalfSweepDegrees * std::numbers::pi / 180.0;
  const QColor top = at_polar(image, 0, kArcRadius - 4);
  EXPECT_GT(top.green(), top.red() + 40);
  for (const double side : {-1.0, 1.0}) {
    const QColor red = at_polar(image, side * (end - 0.01), kArcRadius - 4);
    EXPECT_GT(red.red(), red.green() + 80) << side;
    EXPECT_TRUE(is_white(at_polar(image, side * (end + 0.03), kArcRadius - 4).rgb())) << side;
  }
  EXPECT_TRUE(is_white(at_polar(image, 0, kArcRadius + 2).rgb()));

  // Every tick of the face is a dark mark inside the band; between two ticks
  // the face is clear.
  const std::vector<ArcTick> ticks = arc_ticks(face);
  for (std::size_t k = 0; k < ticks.size(); ++k) {
    bool marked = false;
    for (double r = kArcRadius - 30; r < kArcRadius - 13; r += 0.5) {
      marked = marked || marked_pixel(at_polar(image, ticks[k].radians, r));
    }
    EXPECT_TRUE(marked) << "tick at " << ticks[k].value;
    if (k + 1 == ticks.size()) continue;
    const double between = (ticks[k].radians + ticks[k + 1].radians) / 2;
    EXPECT_TRUE(is_white(at_polar(image, between, kArcRadius - 16).rgb()))
        << "after " << ticks[k].value;
  }
}

INSTANTIATE_TEST_SUITE_P(Faces, ArcFacePicture, ::testing::ValuesIn(kArcFaces),
                         [](const auto& info) { return std::to_string(info.param.end_number); });

// btn_test and mainno lie over the arc pictures: no number of the scale may
// reach under them.
TEST(Artwork, ScaleNumbersStayClearOfTheControlsOverThem) {
  for (const ArcFace& face : kArcFaces) {
    for (const bool dense : {false, true}) {
      const QImage picture = resource(face.picture, dense);
      const int ratio = dense ? 2 : 1;
      int ink = 0;
      for (const ArcRect& c : kArcCovered) {
        for (int y = static_cast<int>(c.top) * ratio; y < (c.top + c.height) * ratio; ++y) {
          for (int x = static_cast<int>(c.left) * ratio; x < (c.left + c.width) * ratio; ++x) {
            const QColor p = picture.pixelColor(x, y);
            ink += std::max({p.red(), p.green(), p.blue()}) < 160;
          }
        }
      }
      EXPECT_EQ(ink, 0) << face.picture << (dense ? " @2x" : "");
    }
  }
}

}  // namespace
}  // namespace tarvo
