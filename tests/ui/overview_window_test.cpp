#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "display_test_log.h"
#include "i18n/text_numbers.h"
#include "main_window.h"
#include "mark_colours.h"
#include "overview_painter.h"
#include "overview_window.h"
#include "trend_chart.h"
#include "window_test_support.h"

namespace tarvo {
namespace {

using test::named;

class OverviewWindowTest : public ::testing::Test {
 protected:
  OverviewWindowTest() {
    window_ = std::make_unique<TForm1>(program_);
    window_->show();
    named<QAction>(*window_, "mni_overview")->trigger();
    overview_ = window_->overview_window();
  }
  void press_test() {
    named<QLineEdit>(*window_, "edt_test")->setText("A0 00 30 00 00 04 02 05 04 00 00 00 5B 00");
    named<QPushButton>(*window_, "btn_test")->click();
  }

  Program program_;
  std::unique_ptr<TForm1> window_;
  OverviewWindow* overview_ = nullptr;
};

TEST_F(OverviewWindowTest, FollowsCommitsAndStartsAgainAfterAResetOrLoad) {
  ASSERT_NE(overview_, nullptr);
  EXPECT_TRUE(overview_->isVisible());
  for (int i = 0; i < 3; ++i) press_test();
  QCoreApplication::processEvents();
  EXPECT_EQ(overview_->overview().view(), (IndexSpan{1, 3}));
  const QString readings =
      QString::fromStdString(program_.state().text(kTextOverviewReadings)).arg(1).arg(3).arg(3);
  EXPECT_TRUE(named<QLabel>(*overview_, "OverviewStatus")->text().startsWith(readings));

  window_->Btn_ResetClick();
  EXPECT_EQ(overview_->overview().view().count(), 0);
  program_.state().log = log_of(std::vector<LoggedReading>(300, {"2.5000"}));
  window_->log_loaded();
  EXPECT_EQ(overview_->overview().view(), (IndexSpan{1, 300}));
}

// A click without a drag names the reading under the pointer; the main
// window's chart then shows it.
TEST_F(OverviewWindowTest, ClickChoosesTheReadingUnderThePointer) {
  program_.state().log = log_of(std::vector<LoggedReading>(1000, {"2.5000"}));
  window_->log_loaded();
  OverviewPlot& plot = *overview_->plot();
  QSignalSpy chosen(overview_, &OverviewWindow::reading_chosen);
  const QRect area = plot.plot_area();
  const IndexSpan view = overview_->overview().view();
  const int x = area.left() + static_cast<int>(x_of_record(view, area.width(), 400));
  QTest::mouseClick(&plot, Qt::LeftButton, {}, QPoint(x, area.center().y()));
  ASSERT_EQ(chosen.count(), 1);
  const std::int64_t index = chosen.front().front().value<std::int64_t>();
  EXPECT_EQ(index, record_at(view, area.width(), x - area.left()));
  EXPECT_NEAR(static_cast<double>(index), 400, 1000.0 / area.width() + 1);
  const PageBounds page = window_->trend_chart()->page().bounds;
  EXPECT_TRUE(page.first <= index && index <= page.last);

  // A drag pans instead, and chooses nothing.
  QWheelEvent wheel(QPointF(area.center()), plot.mapToGlobal(QPointF(area.center())), {}, {0, 240},
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&plot, &wheel);
  const IndexSpan zoomed = overview_->overview().view();
  EXPECT_LT(zoomed.count(), 1000);
  QTest::mousePress(&plot, Qt::LeftButton, {}, area.center());
  QTest::mouseMove(&plot, area.center() + QPoint(100, 0));
  QTest::mouseRelease(&plot, Qt::LeftButton, {}, area.center() + QPoint(100, 0));
  EXPECT_EQ(chosen.count(), 1);
  EXPECT_LT(overview_->overview().view().first, zoomed.first);
}

// A ramp from 1 V to 3 V over 200 readings, with the chart's marks: where
// the limits' lines, the band of an excursion and a note's line stand.
class OverviewMarksTest : public ::testing::Test {
 protected:
  OverviewMarksTest() {
    std::vector<LoggedReading> ramp;
    for (int n = 1; n <= 200; ++n) {
      ramp.push_back({QString::number(1.0 + (n - 1) / 100.0, 'f', 4).toStdString()});
    }
    program_.state().log = log_of(ramp);
    overview_.resize(900, 460);
    overview_.show();
    overview_.rebuild();
    notes_.add(120, "probe moved to C12, then back to the reference point");
    excursions_.start(150);
    excursions_.end(171);
  }
  QImage picture(const Limits& limits, bool excursions = true) {
    limits_ = limits;
    overview_.set_marks({&notes_, &limits_, excursions ? &excursions_ : nullptr});
    return overview_.plot()->grab().toImage();
  }
  int x_at(std::int64_t n) const {
    const QRect area = overview_.plot()->plot_area();
    return area.left() +
           static_cast<int>(x_of_record(overview_.overview().view(), area.width(), n));
  }
  // The rows of column x painted in the colour.
  static std::vector<int> rows_of(const QImage& image, int x, const QColor& colour) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
      if (image.pixelColor(x, y).rgb() == colour.rgb()) rows.push_back(y);
    }
    return rows;
  }
  // The topmost row of the trace's red in column x.
  static int trace_row(const QImage& image, int x) {
    for (int y = 0; y < image.height(); ++y) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 90 && c.blue() < 90) return y;
    }
    return -1;
  }

  Program program_;
  OverviewWindow overview_{program_.state()};
  NoteList notes_;
  Limits limits_;
  ExcursionSpans excursions_;
};

TEST_F(OverviewMarksTest, LimitLinesStandWhereTheTraceCrossesThem) {
  const QImage image = picture({{"DCV", "V"}, 2.5, 1.5});
  const struct {
    QColor colour;
    std::int64_t below, above;  // readings of 0.1 V less and more than the limit
  } lines[] = {{kHighLimitLine, 141, 161}, {kLowLimitLine, 41, 61}};
  for (const auto& line : lines) {
    const std::vector<int> rows = rows_of(image, x_at(20), line.colour);
    ASSERT_EQ(rows.size(), 1u) << line.colour.name().toStdString();
    EXPECT_GT(trace_row(image, x_at(line.below)), rows[0]);
    EXPECT_LT(trace_row(image, x_at(line.above)), rows[0]);
  }
}

TEST_F(OverviewMarksTest, LimitsOfAnotherFunctionOrUnitDrawNoLine) {
  for (const RunKey& key : {RunKey{"ACV", "V"}, RunKey{"DCV", "mV"}}) {
    const QImage image = picture({key, 2.5, 1.5});
    EXPECT_TRUE(rows_of(image, x_at(20), kHighLimitLine).empty()) << key.function << key.unit;
    EXPECT_TRUE(rows_of(image, x_at(20), kLowLimitLine).empty()) << key.function << key.unit;
  }
}

// The band covers readings 150 to 170 and nothing beside them; each pixel is
// the one drawn without it with the shade laid over.
TEST_F(OverviewMarksTest, AnExcursionIsShadedOverItsReadings) {
  const QImage plain = picture({}, false);
  const QImage image = picture({});
  const int y = overview_.plot()->plot_area().bottom() - 2;
  const double a = kExcursionShade.alphaF();
  const auto blend = [&](int under, int over) { return under * (1 - a) + over * a; };
  for (const std::int64_t n : {150, 160, 170}) {
    const QColor outside = plain.pixelColor(x_at(n), y);
    const QColor inside = image.pixelColor(x_at(n), y);
    EXPECT_NEAR(inside.red(), blend(outside.red(), kExcursionShade.red()), 2) << n;
    EXPECT_NEAR(inside.green(), blend(outside.green(), kExcursionShade.green()), 2) << n;
    EXPECT_NEAR(inside.blue(), blend(outside.blue(), kExcursionShade.blue()), 2) << n;
  }
  for (const std::int64_t n : {147, 173}) {
    EXPECT_EQ(image.pixelColor(x_at(n), y), plain.pixelColor(x_at(n), y)) << n;
  }
}

TEST_F(OverviewMarksTest, ANoteIsALineWithItsWholeTextAsTooltip) {
  const QImage image = picture({});
  const int y = overview_.plot()->plot_area().bottom() - 2;
  EXPECT_EQ(image.pixelColor(x_at(120), y), kNoteLine);
  EXPECT_NE(image.pixelColor(x_at(110), y), kNoteLine);
  OverviewPlot& plot = *overview_.plot();
  const OverviewSource source{program_.state().log,
                              MinMaxPyramid(),
                              overview_.overview(),
                              program_.state().DecimalSeparator,
                              {},
                              {},
                              {&notes_, nullptr, nullptr}};
  const ChartNote* note = overview_note_at(plot.rect(), plot.fontMetrics(), source, x_at(120) + 1);
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->text, notes_.notes()[0].text);
  EXPECT_EQ(overview_note_at(plot.rect(), plot.fontMetrics(), source, x_at(100)), nullptr);
}

}  // namespace
}  // namespace tarvo
