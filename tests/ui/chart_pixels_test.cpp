#include <gtest/gtest.h>

#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include "display_test_log.h"
#include "main_window.h"
#include "trend_chart.h"

namespace tarvo {
namespace {

// What the window system holds for part of a window: the pixels that the
// partial updates left there, not a fresh rendering.
QImage on_screen(const QWidget& window, const QRect& area) {
  QTest::qWait(100);
  const qreal ratio = window.devicePixelRatioF();
  const QImage whole = window.screen()->grabWindow(window.winId()).toImage();
  return whole.convertToFormat(QImage::Format_RGB32)
      .copy(QRect(area.topLeft() * ratio, area.size() * ratio));
}

QImage rendered(QWidget& window, const QRect& area) {
  return window.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

int differing_pixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return a.width() * a.height();
  int n = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  }
  return n;
}

// The newest page holds AC volts on the 500 scale; one click on the
// scrollbar's left arrow goes back into the volts before them. The scrollbar
// lies over the chart and repaints with the click: nothing of the first page
// may stay on the second.
TEST(ChartPixels, APageChangeLeavesNothingOfTheOldPage) {
  Program program;
  TForm1 window(program);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  std::vector<LoggedReading> readings(180, {"1.2000", "DCV AUTO 5.0000 V"});
  readings.resize(210, {"230.00", "ACV AUTO 500.00 V"});
  program.session().log = log_of(readings);
  window.update_chart(210, ChartDirection::Backward);
  TrendChart& chart = *window.trend_chart();
  auto* bar = window.findChild<QScrollBar*>("scrlbr_chart1");
  // The chart above its scrollbar, whose pressed arrow looks different.
  const QRect area(chart.mapTo(&window, QPoint(0, 0)), QSize(chart.width(), bar->y()));
  on_screen(window, area);

  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(4, bar->height() / 2));
  ASSERT_EQ(chart.page().bounds, (PageBounds{10, 180}));
  EXPECT_EQ(differing_pixels(on_screen(window, area), rendered(window, area)), 0);
}

}  // namespace
}  // namespace tarvo
