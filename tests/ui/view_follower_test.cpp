// The grid and the chart hold still while the user looks at an older part of
// the log, and follow again once the user returns to the newest reading.
#include "view_follower.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <functional>

#include "data_grid.h"
#include "display_test_log.h"
#include "main_window.h"
#include "trend_chart.h"
#include "window_test_support.h"

namespace tarvo {
namespace {

using test::named;

class Following : public ::testing::Test {
 public:
  Following() {
    window_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
    commit(600);
  }

  // The log grows to count readings and the window hears of each commit;
  // the newest reading reads `newest`, the others 1.
  void commit(std::int64_t count, const char* newest = "1.0000") {
    std::vector<LoggedReading> readings(static_cast<std::size_t>(count), {"1.0000"});
    readings.back() = {newest};
    program_.state().log = log_of(readings);
    window_.refresh_grid();
    window_.update_chart(static_cast<std::int32_t>(count), ChartDirection::Backward);
  }

  std::int64_t count() const { return program_.state().log.count(); }
  DataGrid& grid() { return *window_.data_grid(); }
  TrendChart& chart() { return *window_.trend_chart(); }
  ViewFollower& follower() { return *window_.follower(); }
  QScrollBar* bar(const char* name) { return window_.findChild<QScrollBar*>(name); }
  std::int64_t grid_last() {
    const GridWindow& w = grid().window();
    return w.first + w.data_rows - 1;
  }
  bool at_newest() { return grid_last() == count() && chart().page().bounds.last == count(); }

 protected:
  Program program_;
  TForm1 window_{program_};
};

struct Way {
  const char* name;
  std::function<void(Following&)> act;
};

class MoveAway : public Following, public ::testing::WithParamInterface<Way> {};

// Whatever took the user back, new readings move neither view; the count of
// readings that came meanwhile shows, and the views follow again once the
// button is pressed.
TEST_P(MoveAway, HoldsBothViewsUntilTheUserReturns) {
  GetParam().act(*this);
  ASSERT_TRUE(follower().holding()) << GetParam().name;
  const GridWindow rows = grid().window();
  const PageBounds page = chart().page().bounds;
  EXPECT_FALSE(at_newest());
  for (std::int64_t n = 601; n <= 607; ++n) commit(n, "4.5000");
  EXPECT_EQ(grid().window().first, rows.first);
  // The extreme boxes stay live.
  EXPECT_EQ(named<QLineEdit>(window_, "MAX_NO")->text(), "4.5");
  EXPECT_EQ(named<QLineEdit>(window_, "max_time_no")->text(),
            QString::fromStdString(record_time(607)));
  EXPECT_EQ(chart().page().bounds, page);
  // The scrollbars still reach the newest reading.
  EXPECT_EQ(bar("scrlbr_Grid1")->maximum(), 607);
  EXPECT_EQ(bar("scrlbr_chart1")->maximum(), 607);
  EXPECT_EQ(follower().meanwhile(), 7);
  EXPECT_TRUE(follower().isVisible());
  EXPECT_TRUE(follower().note()->text().contains("7"));
  EXPECT_FALSE(follower().newest_button()->text().isEmpty());

  follower().newest_button()->click();
  EXPECT_FALSE(follower().holding());
  EXPECT_FALSE(follower().isVisible());
  EXPECT_TRUE(at_newest());
  commit(608);
  EXPECT_TRUE(at_newest());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, MoveAway,
    ::testing::Values(
        Way{"page up in the grid",
            [](Following& f) { QTest::keyClick(&f.grid(), Qt::Key_PageUp); }},
        Way{"the grid's wheel",
            [](Following& f) {
              QWheelEvent wheel(QPointF(50, 50), f.grid().mapToGlobal(QPointF(50, 50)), {},
                                {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
              QCoreApplication::sendEvent(f.grid().viewport(), &wheel);
            }},
        Way{"the grid's scrollbar",
            [](Following& f) {
              f.bar("scrlbr_Grid1")->triggerAction(QAbstractSlider::SliderPageStepSub);
            }},
        Way{"page up in the chart",
            [](Following& f) { QTest::keyClick(&f.chart(), Qt::Key_PageUp); }},
        Way{"the chart's scrollbar",
            [](Following& f) {
              f.bar("scrlbr_chart1")->triggerAction(QAbstractSlider::SliderSingleStepSub);
            }},
        Way{"a double-clicked row or a moment of the overview",
            [](Following& f) { emit f.grid().record_chosen(300); }}),
    [](const auto& info) { return std::to_string(info.index); });

TEST_F(Following, ReachingTheNewestByAnyMeansFollowsAgain) {
  const Way returns[] = {
      {"End in the grid", [](Following& f) { QTest::keyClick(&f.grid(), Qt::Key_End); }},
      {"End in the chart", [](Following& f) { QTest::keyClick(&f.chart(), Qt::Key_End); }},
      {"the grid's scrollbar to its end",
       [](Following& f) {
         f.bar("scrlbr_Grid1")->triggerAction(QAbstractSlider::SliderToMaximum);
       }},
      {"the chart's scrollbar to its end",
       [](Following& f) {
         f.bar("scrlbr_chart1")->triggerAction(QAbstractSlider::SliderToMaximum);
       }},
      {"page down in the grid to the end",
       [](Following& f) {
         for (int i = 0; i < 10; ++i) QTest::keyClick(&f.grid(), Qt::Key_PageDown);
       }},
  };
  std::int64_t n = count();
  for (const Way& way : returns) {
    QTest::keyClick(&grid(), Qt::Key_PageUp);
    ASSERT_TRUE(follower().holding()) << way.name;
    commit(++n);
    way.act(*this);
    EXPECT_FALSE(follower().holding()) << way.name;
    EXPECT_TRUE(at_newest()) << way.name;
    commit(++n);
    EXPECT_TRUE(at_newest()) << way.name;
  }
}

// Looking around within the newest page keeps following; a chosen reading on
// it as well.
TEST_F(Following, AMoveThatKeepsTheNewestInSightKeepsFollowing) {
  bar("scrlbr_Grid1")->triggerAction(QAbstractSlider::SliderToMaximum);
  emit grid().record_chosen(count());
  EXPECT_FALSE(follower().holding());
  commit(count() + 1);
  EXPECT_TRUE(at_newest());
}

TEST_F(Following, ResetAndAResizeKeepTheirMeaning) {
  QTest::keyClick(&grid(), Qt::Key_PageUp);
  const std::int64_t first = grid().window().first;
  window_.resize(window_.width(), window_.height() + 90);
  QTest::qWait(50);
  EXPECT_TRUE(follower().holding());
  EXPECT_EQ(grid().window().first, first);
  window_.Btn_ResetClick();
  EXPECT_FALSE(follower().holding());
  EXPECT_FALSE(follower().isVisible());
}

}  // namespace
}  // namespace tarvo
