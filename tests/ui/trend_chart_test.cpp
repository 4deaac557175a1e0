#include "trend_chart.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCategoryAxis>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QScrollBar>
#include <QTest>
#include <QValueAxis>
#include <QWheelEvent>
#include <memory>

#include "display_test_log.h"

namespace tarvo {
namespace {

// The chart with its scrollbar and the four boxes, as the window places them.
class Chart : public ::testing::Test {
 protected:
  Chart() {
    parent_->resize(1080, 568);
    bar_ = new QScrollBar(parent_.get());
    for (QLineEdit*& box : boxes_) box = new QLineEdit(parent_.get());
    chart_ =
        new TrendChart(meter_, bar_, {boxes_[0], boxes_[1], boxes_[2], boxes_[3]}, parent_.get());
    chart_->setGeometry(1, 0, 668, 395);
    parent_->show();
  }

  void load(ReadingLog log) { meter_.log = std::move(log); }
  void newest() { chart_->update_chart(meter_.log.count(), PageDirection::Backward); }
  PageBounds page() const { return chart_->page().bounds; }
  ScrollParams bar() const { return chart_->scroll_params(); }
  QString box(int i) const { return boxes_[static_cast<std::size_t>(i)]->text(); }
  std::pair<double, double> axis() const {
    return {chart_->left_axis()->min(), chart_->left_axis()->max()};
  }
  // The user drags the thumb to a position.
  void drag_to(int position) {
    bar_->setSliderDown(true);
    bar_->setSliderPosition(position);
    bar_->setSliderDown(false);
  }
  QWidget* viewport() const { return chart_->viewport(); }
  const QLabel& label(const char* name) const {
    return *chart_->findChild<QLabel*>(QLatin1String(name));
  }
  const QWidget& line() const { return *chart_->findChild<QWidget*>("shp1"); }

  MeterState meter_;
  std::unique_ptr<QWidget> parent_ = std::make_unique<QWidget>();
  QScrollBar* bar_;
  std::array<QLineEdit*, 4> boxes_{};
  TrendChart* chart_;
};

TEST_F(Chart, OneReadingIsOnePointAtTheLeftEdge) {
  load(log_of({{"1.2345", "DCV AUTO 5.0000 V", "10:00:01"}}));
  newest();
  ASSERT_EQ(chart_->series()->count(), 1);
  EXPECT_EQ(chart_->series()->at(0), QPointF(0, 1.2345));
  EXPECT_EQ(chart_->series()->pen().color(), QColor(Qt::red));
  EXPECT_EQ(axis(), std::make_pair(-5.0, 5.0));
  EXPECT_EQ(box(0), "1.2345");
  EXPECT_EQ(box(1), "10:00:01");
  EXPECT_EQ(box(2), "1.2345");
  EXPECT_EQ(box(3), "10:00:01");
  EXPECT_EQ(bar(), (ScrollParams{200, 200, 200, 1}));
  // The bottom axis is that of a full page, whatever the page holds.
  EXPECT_EQ(chart_->bottom_axis()->min(), 0);
  EXPECT_EQ(chart_->bottom_axis()->max(), 199);
}

TEST_F(Chart, ScrollingPagesThroughTheLog) {
  load(one_run_log(300));
  newest();
  EXPECT_EQ(page(), (PageBounds{101, 300}));
  EXPECT_EQ(bar(), (ScrollParams{300, 200, 300, 1}));
  struct Step {
    int position;
    PageBounds page;
  };
  const Step steps[] = {{250, {51, 250}}, {200, {1, 200}}, {300, {101, 300}}, {299, {100, 299}}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.position);
    drag_to(s.position);
    EXPECT_EQ(page(), s.page);
    EXPECT_EQ(chart_->series()->count(), 200);
    EXPECT_EQ(bar_->value(), s.position);  // the thumb stays where it was put
  }
  bar_->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(page(), (PageBounds{99, 298}));
  bar_->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(page(), (PageBounds{101, 300}));
}

// Beside the scrollbar: a wheel notch or a page key is a whole page, and the
// thumb follows to the page's last record.
TEST_F(Chart, WheelAndPageKeysMoveByPages) {
  load(one_run_log(700));
  newest();
  auto turn = [&](int eighths) {
    const QPointF at(300, 200);
    QWheelEvent wheel(at, chart_->mapToGlobal(at), {}, {0, eighths}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport(), &wheel);
  };
  turn(240);
  EXPECT_EQ(page(), (PageBounds{101, 300}));
  EXPECT_EQ(bar_->value(), 300);
  turn(-120);
  EXPECT_EQ(page(), (PageBounds{301, 500}));
  QTest::keyClick(chart_, Qt::Key_PageDown);
  EXPECT_EQ(page(), (PageBounds{501, 700}));
  QTest::keyClick(chart_, Qt::Key_PageDown);  // nothing after the newest
  EXPECT_EQ(page(), (PageBounds{501, 700}));
  for (int i = 0; i < 5; ++i) QTest::keyClick(chart_, Qt::Key_PageUp);
  EXPECT_EQ(page(), (PageBounds{1, 100}));
  EXPECT_EQ(bar_->value(), 200);
}

TEST_F(Chart, AChosenReadingGetsItsPageAndTheCursor) {
  load(one_run_log(700));
  newest();
  chart_->show_reading(333);
  EXPECT_EQ(page(), (PageBounds{234, 433}));
  EXPECT_TRUE(chart_->cursor().on);
  EXPECT_TRUE(line().isVisible());
  EXPECT_EQ(label("lbl_time").text().toStdString(), record_time(333));
  EXPECT_EQ(label("lbl_chn1").text(), "1");
}

TEST_F(Chart, APageEndsWhereTheFunctionChanges) {
  std::vector<LoggedReading> readings(10, {"1.0000", "DCV AUTO 5.0000 V"});
  readings.resize(30, {"100.00", "ACV AUTO 500.00 V"});
  load(log_of(readings));
  newest();
  EXPECT_EQ(page(), (PageBounds{11, 30}));
  EXPECT_EQ(chart_->series()->count(), 20);
  EXPECT_EQ(axis(), std::make_pair(-500.0, 500.0));
}

TEST_F(Chart, ExtremeBoxesTakeTheTimesOfTheScanRule) {
  struct Case {
    std::vector<std::string> values;
    const char *max, *max_time, *min, *min_time;
  };
  const Case cases[] = {
      {{"1", "3", "3", "1"}, "3", "t2", "1", "t1"},
      {{"3", "3", "1"}, "3", "t2", "1", "t3"},
      {{"2", "2", "2"}, "2", "t1", "2", "t1"},
      // An overload is no extreme value: the box tells it beside the number.
      {{"2.5000", "-OL", "50.000"}, "50", "t3", "2.5 (-OL)", "t1"},
      {{"4.6977", "OL", "1"}, "4.6977 (OL)", "t1", "1", "t3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.values.size());
    std::vector<LoggedReading> readings;
    for (const std::string& v : c.values) {
      readings.push_back({v, "DCV AUTO 5.0000 V", "t" + std::to_string(readings.size() + 1)});
    }
    load(log_of(readings));
    newest();
    EXPECT_EQ(box(0), c.max);
    EXPECT_EQ(box(1), c.max_time);
    EXPECT_EQ(box(2), c.min);
    EXPECT_EQ(box(3), c.min_time);
  }
}

// A reading whose range code is undefined has an empty range text: it stays
// out of the chart, and the axis and the boxes keep what they showed.
TEST_F(Chart, ReadingsThatDoNotConvertAreLeftOut) {
  load(log_of({{"1.0000", "DCV AUTO 5.0000 V", "t1"}}));
  newest();
  load(log_of({{"1.0000", "DCV AUTO 5.0000 V", "t1"}, {"12345", "DCV AUTO  V", "t2"}}));
  newest();
  EXPECT_EQ(chart_->series()->count(), 1);
  EXPECT_EQ(axis(), std::make_pair(-5.0, 5.0));
  EXPECT_EQ(box(1), "t1");

  load(log_of({{"12345", "OHM AUTO  Ω", "t9"}}));
  newest();
  EXPECT_EQ(chart_->series()->count(), 0);
  EXPECT_EQ(axis(), std::make_pair(-5.0, 5.0));
  EXPECT_EQ(box(0), "1");
  EXPECT_EQ(box(1), "t1");
}

TEST_F(Chart, TimeLabelsNeverOverlap) {
  load(one_run_log(200));
  newest();
  QCategoryAxis& axis = *chart_->bottom_axis();
  const QStringList labels = axis.categoriesLabels();
  ASSERT_GE(labels.size(), 2);
  const double plot_width = chart_->chart()->plotArea().width();
  const double pixels_apart =
      (axis.endValue(labels[1]) - axis.endValue(labels[0])) * plot_width / 199.0;
  const QFontMetrics metrics(axis.labelsFont());
  EXPECT_GE(pixels_apart, metrics.horizontalAdvance(labels[0]));
  EXPECT_EQ(labels[0], QString::fromStdString(record_time(1)));

  // A narrower chart draws fewer of them.
  chart_->resize(300, 395);
  EXPECT_LT(axis.categoriesLabels().size(), labels.size());
}

TEST_F(Chart, CursorReadsOffThePointUnderThePointer) {
  load(log_of(
      {{"1.2345", "DCV AUTO 5.0000 V", "10:00:01"}, {"2.5000", "DCV AUTO 5.0000 V", "10:00:02"}}));
  newest();
  QTest::mouseDClick(viewport(), Qt::LeftButton, {}, {300, 200});
  EXPECT_TRUE(chart_->cursor().on);

  const QPointF first = chart_->chart()->mapToPosition({0, 1.2345}, chart_->series());
  QTest::mouseMove(viewport(), QPoint(static_cast<int>(first.x()) + 1, 200));
  EXPECT_TRUE(line().isVisible());
  EXPECT_TRUE(label("lbl_chn1").isVisible());
  EXPECT_EQ(label("lbl_chn1").text(), "1.2345");
  EXPECT_EQ(label("lbl_time").text(), "10:00:01");
  EXPECT_EQ(label("lbl_chn1").pos(), QPoint(line().x() + 5, 218));
  EXPECT_EQ(label("lbl_time").pos(), QPoint(line().x() + 5, 3));

  // Beyond the last point of a short page the line follows, the labels go.
  QTest::mouseMove(viewport(), QPoint(400, 200));
  EXPECT_TRUE(line().isVisible());
  EXPECT_EQ(line().x(), 400);
  EXPECT_FALSE(label("lbl_chn1").isVisible());
  EXPECT_FALSE(label("lbl_time").isVisible());

  // Left of the plot area nothing shows.
  QTest::mouseMove(viewport(), QPoint(39, 200));
  EXPECT_FALSE(line().isVisible());
  EXPECT_FALSE(label("lbl_time").isVisible());
}

// A new page under a cursor that stands still: its labels read what the new
// page holds under the line, or go where it holds nothing, never the old
// page's time and value.
TEST_F(Chart, CursorLabelsFollowAPageChange) {
  std::vector<LoggedReading> readings;
  for (int n = 1; n <= 400; ++n) readings.push_back({n <= 200 ? "1.0000" : "2.0000"});
  load(log_of(readings));
  chart_->update_chart(200, PageDirection::Backward);  // records 1 to 200
  chart_->Chart1DblClick();
  const QPointF tenth = chart_->chart()->mapToPosition({10, 1.0}, chart_->series());
  QTest::mouseMove(viewport(), QPoint(static_cast<int>(tenth.x()), 200));
  ASSERT_EQ(label("lbl_chn1").text(), "1");
  ASSERT_EQ(label("lbl_time").text(), QString::fromStdString(record_time(11)));

  chart_->update_chart(400, PageDirection::Backward);  // records 201 to 400
  EXPECT_EQ(label("lbl_chn1").text(), "2");
  EXPECT_EQ(label("lbl_time").text(), QString::fromStdString(record_time(211)));

  load(log_of({{"3.0000"}, {"3.0000"}}));  // a short page: nothing under the line
  newest();
  EXPECT_FALSE(label("lbl_chn1").isVisible());
  EXPECT_FALSE(label("lbl_time").isVisible());
}

TEST_F(Chart, TwoQuickReleasesOnTheLineSwitchTheCursorOff) {
  load(one_run_log(3));
  newest();
  chart_->Chart1DblClick();
  const QPointF first = chart_->chart()->mapToPosition({0, 1}, chart_->series());
  QTest::mouseMove(viewport(), QPoint(static_cast<int>(first.x()), 150));
  ASSERT_TRUE(line().isVisible());
  auto* shp1 = chart_->findChild<QWidget*>("shp1");
  QTest::mouseClick(shp1, Qt::LeftButton);
  EXPECT_TRUE(chart_->cursor().on);
  QTest::mouseClick(shp1, Qt::LeftButton);
  EXPECT_FALSE(chart_->cursor().on);
  EXPECT_FALSE(line().isVisible());
}

TEST_F(Chart, ResetEmptiesTheChartAndTheBoxes) {
  load(one_run_log(250));
  newest();
  chart_->reset_chart();
  EXPECT_EQ(chart_->series()->count(), 0);
  EXPECT_EQ(bar(), (ScrollParams{200, 200, 200, 1}));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(box(i), "");
  EXPECT_EQ(label("lbl_chn1").text(), "");
  EXPECT_EQ(label("lbl_time").text(), "");
  EXPECT_EQ(axis(), std::make_pair(-5.0, 5.0));  // the axis keeps its limits
  EXPECT_TRUE(chart_->bottom_axis()->categoriesLabels().isEmpty());
}

}  // namespace
}  // namespace tarvo
