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

}  // namespace
}  // namespace tarvo
