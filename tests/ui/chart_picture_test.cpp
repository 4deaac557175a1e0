#include "chart_picture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <array>
#include <memory>

#include "display_test_log.h"
#include "sheet_test_log.h"
#include "trend_chart.h"

namespace tarvo {
namespace {

using sheet_test::TempFolder;

// The chart with its scrollbar and boxes, on screen at its design size.
class Picture : public ::testing::Test {
 protected:
  Picture() {
    parent_->resize(1080, 568);
    auto* bar = new QScrollBar(parent_.get());
    std::array<QLineEdit*, 4> boxes{};
    for (QLineEdit*& box : boxes) box = new QLineEdit(parent_.get());
    chart_ = new TrendChart(meter_, bar, {boxes[0], boxes[1], boxes[2], boxes[3]}, parent_.get());
    chart_->setGeometry(1, 0, 668, 395);
    parent_->show();
    // Exposed, as the window is: a window that never reached the screen
    // takes no part in repaints, and a capture that paints into the window's
    // repaint would pass here and fail there.
    EXPECT_TRUE(QTest::qWaitForWindowExposed(parent_.get()));
    meter_.log = one_run_log(200);
    chart_->update_chart(200, PageDirection::Backward);
  }

  // The cursor line at its first place (502), as a double-click shows it.
  void show_cursor_line() { chart_->Chart1DblClick(); }

  MeterState meter_;
  std::unique_ptr<QWidget> parent_ = std::make_unique<QWidget>();
  TrendChart* chart_;
};

bool dark(QRgb pixel) {
  return qGray(pixel) < 64;
}

int dark_pixels_in_column(const QImage& image, int x, int top, int bottom) {
  int count = 0;
  for (int y = top; y < bottom; ++y) count += dark(image.pixel(x, y)) ? 1 : 0;
  return count;
}

bool reddish(QRgb pixel) {
  return qRed(pixel) > 180 && qGreen(pixel) < 110 && qBlue(pixel) < 110;
}

int rightmost_red_column(const QImage& image) {
  for (int x = image.width() - 1; x >= 0; --x) {
    for (int y = 0; y < image.height(); ++y) {
      if (reddish(image.pixel(x, y))) return x;
    }
  }
  return -1;
}

bool non_white_between(const QImage& image, int x, int top, int bottom) {
  for (int y = top; y <= bottom; ++y) {
    if (image.pixel(x, y) != qRgb(255, 255, 255)) return true;
  }
  return false;
}

bool border_is_white(const QImage& image, int margin) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const bool inside =
          x >= margin && y >= margin && x < image.width() - margin && y < image.height() - margin;
      if (!inside && image.pixel(x, y) != qRgb(255, 255, 255)) return false;
    }
  }
  return true;
}

TEST_F(Picture, CaptureIsLaidOutAtReportSizeWhateverTheChartsSize) {
  for (const QSize size : {QSize(668, 395), QSize(300, 200), QSize(1500, 900)}) {
    chart_->resize(size);
    const QImage picture = chart_capture(*chart_);
    EXPECT_EQ(picture.size(), QSize(1910, 1080)) << size.width();
    EXPECT_EQ(chart_->size(), size);
    // A full page reaches the right edge of a plot 1900 pixels wide, and the
    // bottom axis runs along it, 64 pixels above the chart's bottom, which
    // is 970 pixels high under the title block.
    EXPECT_GT(rightmost_red_column(picture), 1800) << size.width();
    EXPECT_TRUE(non_white_between(picture, 1800, 5 + 100 + 906 - 2, 5 + 100 + 906 + 2))
        << size.width();
    // The title block holds its two lines of text.
    EXPECT_TRUE(non_white_between(picture, 40, 5 + 12, 5 + 52)) << size.width();
    EXPECT_TRUE(border_is_white(picture, 5)) << size.width();
    // The chart's own background is white beyond any size it had before.
    EXPECT_EQ(picture.pixel(1904, 1074), qRgb(255, 255, 255)) << size.width();
    EXPECT_EQ(picture.pixel(1000, 1060), qRgb(255, 255, 255)) << size.width();
  }
}

TEST_F(Picture, BitmapIsTheChartAtItsOwnSize) {
  chart_->resize(600, 350);
  const QImage picture = chart_bitmap(*chart_);
  EXPECT_EQ(picture.size(), QSize(600, 350));
  const int right = rightmost_red_column(picture);
  EXPECT_GT(right, 520);
  EXPECT_LT(right, 600);
}

// The cursor line is a child of the chart: painted with the chart for the
// report picture, left out of the bitmap that the chart renders by itself.
TEST_F(Picture, CursorLineIsInTheCaptureOnly) {
  show_cursor_line();
  const QImage capture = chart_capture(*chart_);
  const QImage bitmap = chart_bitmap(*chart_);
  EXPECT_GT(dark_pixels_in_column(capture, 5 + 502, 5 + 100 + 20, 5 + 100 + 910), 850);
  EXPECT_LT(dark_pixels_in_column(bitmap, 502, 20, 340), 50);
}

struct FormatCase {
  const char* name;
  const char* file;
  PictureFormat format;
  QSize size;
};

class PictureFile : public Picture, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(PictureFile, HasTheSizeOfItsKind) {
  const TempFolder folder;
  const auto file = folder / GetParam().file;
  std::string error;
  ASSERT_TRUE(save_chart_picture(parent_.get(), *chart_, file, GetParam().format, &error)) << error;
  QImageReader reader(QString::fromStdString(file.string()));
  EXPECT_EQ(reader.size(), GetParam().size);
  EXPECT_EQ(chart_->size(), QSize(668, 395));
  EXPECT_TRUE(parent_->isEnabled());
  EXPECT_EQ(folder.entries(), 1u);
}

TEST_P(PictureFile, UnwritableTargetFailsAndLeavesTheChartAsItWas) {
  const TempFolder folder;
  std::ofstream(folder / "plain") << "a file, not a folder";
  std::string error;
  EXPECT_FALSE(save_chart_picture(parent_.get(), *chart_, folder / "plain" / GetParam().file,
                                  GetParam().format, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(chart_->size(), QSize(668, 395));
  EXPECT_TRUE(parent_->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PictureFile,
    ::testing::Values(FormatCase{"Jpeg", "chart.jpg", PictureFormat::Jpeg, {1910, 1080}},
                      FormatCase{"Png", "chart.png", PictureFormat::Png, {1910, 1080}},
                      FormatCase{"Bmp", "chart.bmp", PictureFormat::Bmp, {668, 395}}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

// The PNG is the report picture itself, pixel for pixel.
TEST_F(Picture, PngIsTheCaptureWithoutLoss) {
  const TempFolder folder;
  ASSERT_TRUE(save_chart_picture(nullptr, *chart_, folder / "chart.png", PictureFormat::Png));
  const QImage written(QString::fromStdString((folder / "chart.png").string()));
  EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32),
            chart_capture(*chart_).convertToFormat(QImage::Format_RGB32));
}

}  // namespace
}  // namespace tarvo
