#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "chart_marks.h"
#include "display_test_log.h"
#include "log/statistics.h"
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
  program.state().log = log_of(readings);
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

// Readings arrive one by one, the last on a larger range of the same unit:
// the new page has another axis, and nothing of the page before may stay.
TEST(ChartPixels, ANewReadingLeavesNothingOfThePageBefore) {
  Program program;
  TForm1 window(program);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  std::vector<LoggedReading> readings;
  for (int i = 0; i < 9; ++i) readings.push_back({"3.3000", "DCV AUTO 5.0000 V"});
  readings.push_back({"OL", "DCV AUTO 5.0000 V"});
  readings.push_back({"12.047", "DCV AUTO 50.000 V"});
  std::vector<LoggedReading> logged;
  TrendChart& chart = *window.trend_chart();
  auto* bar = window.findChild<QScrollBar*>("scrlbr_chart1");
  const QRect area(chart.mapTo(&window, QPoint(0, 0)), QSize(chart.width(), bar->y()));
  for (const LoggedReading& r : readings) {
    logged.push_back(r);
    program.state().log = log_of(logged);
    window.update_chart(static_cast<std::int32_t>(logged.size()), ChartDirection::Backward);
    window.refresh_grid();
    QTest::qWait(20);
  }
  EXPECT_EQ(differing_pixels(on_screen(window, area), rendered(window, area)), 0);
}

int red_pixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      n += c.red() > 180 && c.green() < 90 && c.blue() < 90;
    }
  }
  return n;
}

// A page of one reading, after a test frame or at the end of an opened log:
// the reading shows as a dot, where a line of one point would draw nothing.
TEST(ChartPixels, AReadingAloneIsAVisiblePoint) {
  MeterState meter;
  QWidget parent;
  std::array<QLineEdit*, 4> boxes{};
  for (QLineEdit*& box : boxes) box = new QLineEdit(&parent);
  TrendChart chart(meter, new QScrollBar(&parent), {boxes[0], boxes[1], boxes[2], boxes[3]},
                   &parent);
  chart.resize(668, 395);
  meter.log = log_of({{"1.2345", "DCV AUTO 5.0000 V"}});
  chart.update_chart(1, PageDirection::Backward);
  EXPECT_GE(red_pixels(chart.grab().toImage()), 9);
}

// Pixels of a colour on row y (or column x when `column`), within a tolerance;
// the most of the line there and its two neighbours, as a line falls between.
int colour_pixels(const QImage& image, int at, bool column, const QColor& colour) {
  const int length = column ? image.height() : image.width();
  int most = 0;
  for (int line = at - 1; line <= at + 1; ++line) {
    int n = 0;
    for (int i = 0; i < length; ++i) {
      const QColor c = column ? image.pixelColor(line, i) : image.pixelColor(i, line);
      n += std::abs(c.red() - colour.red()) < 30 && std::abs(c.green() - colour.green()) < 30 &&
           std::abs(c.blue() - colour.blue()) < 30;
    }
    most = std::max(most, n);
  }
  return most;
}

// The limit lines stand at their values only on a page of the limits'
// function and unit; a note is a line at its reading; an excursion's
// readings are shaded and the readings beside them are not.
TEST(ChartPixels, LimitLinesNotesAndExcursionsStandWhereTheyBelong) {
  const QColor high_colour(200, 0, 200), low_colour(0, 90, 220), note_colour(0, 140, 0);
  const struct {
    const char* function;
    const char* unit;
    bool lines;
  } cases[] = {{"DCV", "V", true}, {"DCV", "mV", false}, {"ACV", "V", false}};
  for (const auto& c : cases) {
    MeterState meter;
    QWidget parent;
    std::array<QLineEdit*, 4> boxes{};
    for (QLineEdit*& box : boxes) box = new QLineEdit(&parent);
    TrendChart chart(meter, new QScrollBar(&parent), {boxes[0], boxes[1], boxes[2], boxes[3]},
                     &parent);
    chart.resize(668, 395);
    std::vector<LoggedReading> readings;
    for (int n = 0; n < 20; ++n) readings.emplace_back("1.0000");
    meter.log = log_of(readings);
    ASSERT_EQ(run_key_of(meter.log[1]), (RunKey{"DCV", "V"}));
    NoteList notes;
    notes.add(5, "probe moved");
    notes.add(40, "not on this page");
    ExcursionSpans excursions;
    excursions.start(12);
    excursions.end(15);  // 12 to 14
    const Limits limits{{c.function, c.unit}, 2.5, -2.5};
    chart.set_marks({&notes, &limits, &excursions});
    chart.update_chart(20, PageDirection::Backward);
    const QImage image = chart.grab().toImage();
    const auto at = [&](double x, double value) {
      return chart.mapFromScene(
          chart.chart()->mapToScene(chart.chart()->mapToPosition({x, value}, chart.series())));
    };
    const int high_y = at(0, 2.5).y(), low_y = at(0, -2.5).y();
    SCOPED_TRACE(std::string(c.function) + " " + c.unit);
    EXPECT_EQ(colour_pixels(image, high_y, false, high_colour) > 300, c.lines);
    EXPECT_EQ(colour_pixels(image, low_y, false, low_colour) > 300, c.lines);
    EXPECT_GT(colour_pixels(image, at(4, 0).x(), true, note_colour), 200);  // reading 5
    EXPECT_LT(colour_pixels(image, at(9, 0).x(), true, note_colour), 20);
    const auto shaded = [&](int x) {
      const QColor p = image.pixelColor(x, at(0, 4.0).y());
      return p.red() > 240 && p.blue() < 230 && p.green() > p.blue();
    };
    EXPECT_TRUE(shaded(at(11, 0).x()));   // reading 12
    EXPECT_TRUE(shaded(at(13, 0).x()));   // reading 14
    EXPECT_FALSE(shaded(at(9, 0).x()));   // reading 10
    EXPECT_FALSE(shaded(at(16, 0).x()));  // reading 17
  }
}

}  // namespace
}  // namespace tarvo
