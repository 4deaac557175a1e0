#include "data_grid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <memory>

#include "display_test_log.h"
#include "window_test_support.h"

namespace tarvo {
namespace {

using test::cell;
using test::index_in_row;

// The grid and its scrollbar as the window places them, over a log of its own.
class Grid : public ::testing::Test {
 protected:
  void make(std::int64_t count, int height = 395) {
    log_ = one_run_log(count);
    parent_ = std::make_unique<QWidget>();
    bar_ = new QScrollBar(parent_.get());
    grid_ = new DataGrid(log_, bar_, parent_.get());
    grid_->setGeometry(665, 0, 414, height);
    bar_->setGeometry(1059, 0, 17, height - 3);
    grid_->layout_grid();
  }
  ScrollParams bar() const { return grid_->scroll_params(); }

  ReadingLog log_;
  std::unique_ptr<QWidget> parent_;
  QScrollBar* bar_ = nullptr;
  DataGrid* grid_ = nullptr;
};

TEST_F(Grid, LayoutFollowsTheHeight) {
  make(0);
  EXPECT_EQ(grid_->RowCount(), 24);
  EXPECT_EQ(grid_->model()->rowCount(), 24);
  const char* headers[] = {"Index", "Time", "Main", "Main_Range", "Sub", "Sub_Range"};
  // The columns share the width left of the scrollbar (grid_texts_test
  // checks that every text fits its column).
  int total = 0;
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(cell(*grid_, 0, c), headers[c]);
    total += grid_->columnWidth(c);
  }
  EXPECT_EQ(total, 1059 - 665 - grid_->frameWidth());
  EXPECT_EQ(grid_->rowHeight(0), 15);
  EXPECT_EQ(grid_->rowHeight(23), 15);
  EXPECT_EQ(bar(), (ScrollParams{20, 20, 20, 1}));

  grid_->resize(414, 380);
  grid_->layout_grid();
  EXPECT_EQ(grid_->RowCount(), 23);
  EXPECT_EQ(grid_->model()->rowCount(), 23);
}

TEST_F(Grid, RefreshShowsTheNewestRecordsInTheLastRow) {
  struct Case {
    std::int64_t count;
    std::int64_t first_row, last_row;  // records in data rows 1 and 23; 0 for empty
    ScrollParams bar;
  };
  const Case cases[] = {
      {0, 0, 0, {100, 100, 100, 1}},      {5, 1, 0, {100, 100, 100, 1}},
      {23, 1, 23, {100, 100, 100, 1}},    {24, 2, 24, {24, 23, 24, 1}},
      {250, 228, 250, {250, 23, 250, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    make(c.count);
    grid_->refresh_grid();
    EXPECT_EQ(index_in_row(*grid_, 1), c.first_row);
    EXPECT_EQ(index_in_row(*grid_, 23), c.last_row);
    EXPECT_EQ(bar(), c.bar);
  }
}

TEST_F(Grid, CellsShowTheStoredTexts) {
  log_ = log_of({{"OL", "OHM MANU 50.000 KΩ", "09:05:03"}});
  parent_ = std::make_unique<QWidget>();
  bar_ = new QScrollBar(parent_.get());
  grid_ = new DataGrid(log_, bar_, parent_.get());
  grid_->resize(414, 395);
  grid_->layout_grid();
  grid_->refresh_grid();
  EXPECT_EQ(cell(*grid_, 1, 0), "1");
  EXPECT_EQ(cell(*grid_, 1, 1), "09:05:03");
  EXPECT_EQ(cell(*grid_, 1, 2), "OL");
  EXPECT_EQ(cell(*grid_, 1, 3), QString::fromUtf8("OHM MANU 50.000 KΩ"));
  EXPECT_EQ(cell(*grid_, 2, 0), "");
}

TEST_F(Grid, TheScrollbarMovesTheWindowBack) {
  make(250);
  grid_->refresh_grid();
  struct Step {
    QAbstractSlider::SliderAction action;
    std::int64_t first_row, last_row;
  };
  const Step steps[] = {
      {QAbstractSlider::SliderSingleStepSub, 227, 249},
      {QAbstractSlider::SliderPageStepSub, 226, 248},  // a click in the trough: one record
      {QAbstractSlider::SliderToMinimum, 1, 23},
      {QAbstractSlider::SliderSingleStepAdd, 2, 24},
      {QAbstractSlider::SliderToMaximum, 228, 250},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.first_row);
    bar_->triggerAction(s.action);
    EXPECT_EQ(index_in_row(*grid_, 1), s.first_row);
    EXPECT_EQ(index_in_row(*grid_, 23), s.last_row);
  }
  // A new reading brings the window back to the newest record.
  grid_->refresh_grid();
  EXPECT_EQ(index_in_row(*grid_, 23), 250);
}

TEST_F(Grid, ResetEmptiesTheRowsAndParksTheScrollbar) {
  make(250);
  grid_->refresh_grid();
  log_.reset_log_counters();
  grid_->reset_grid();
  EXPECT_EQ(index_in_row(*grid_, 1), 0);
  EXPECT_EQ(index_in_row(*grid_, 23), 0);
  EXPECT_EQ(bar(), (ScrollParams{23, 23, 23, 1}));
}

// A grid shorter than 20 data rows still gets a scrollbar it can take.
TEST_F(Grid, ShortGridsKeepAWorkingScrollbar) {
  for (const int height : {30, 100, 200, 344}) {
    SCOPED_TRACE(height);
    make(250, height);
    const int data_rows = grid_->RowCount() - 1;
    grid_->reset_grid();
    EXPECT_EQ(bar(), (ScrollParams{data_rows, data_rows, data_rows, 1}));
    grid_->refresh_grid();
    EXPECT_EQ(bar(), (ScrollParams{250, data_rows, 250, 1}));
    EXPECT_EQ(index_in_row(*grid_, data_rows), 250);
    bar_->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(index_in_row(*grid_, 1), 1);
  }
}

// Opening a shorter log replaces the records under a window that still names
// the old ones: those rows read as empty until the next fill.
TEST_F(Grid, RowsBeyondAReplacedLogReadEmpty) {
  make(250);
  grid_->refresh_grid();
  log_ = one_run_log(3);
  EXPECT_EQ(index_in_row(*grid_, 23), 0);
  grid_->refill_grid();
  EXPECT_EQ(index_in_row(*grid_, 3), 3);
}

// The wheel and the page keys move the window through the scrollbar; a
// double-click names the record of its row.
TEST_F(Grid, WheelKeysAndDoubleClickBesideTheScrollbar) {
  make(250);
  grid_->refresh_grid();
  parent_->show();
  const int lines = QApplication::wheelScrollLines();
  auto turn = [&](int eighths) {
    const QPointF at(50, 50);
    QWheelEvent wheel(at, grid_->mapToGlobal(at), {}, {0, eighths}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid_->viewport(), &wheel);
  };
  turn(120);
  EXPECT_EQ(index_in_row(*grid_, 23), 250 - lines);
  turn(60);  // half a notch waits for the other half
  EXPECT_EQ(index_in_row(*grid_, 23), 250 - lines);
  turn(60);
  EXPECT_EQ(index_in_row(*grid_, 23), 250 - 2 * lines);
  turn(-240);
  EXPECT_EQ(index_in_row(*grid_, 23), 250);
  QTest::keyClick(grid_, Qt::Key_PageUp);
  EXPECT_EQ(index_in_row(*grid_, 23), 228);  // 22 rows: the top row stays in sight
  QTest::keyClick(grid_, Qt::Key_PageDown);
  QTest::keyClick(grid_, Qt::Key_PageDown);  // held at the newest record
  EXPECT_EQ(index_in_row(*grid_, 23), 250);

  QSignalSpy chosen(grid_, &DataGrid::record_chosen);
  const QRect row5 = grid_->visualRect(grid_->model()->index(5, 2));
  QTest::mouseDClick(grid_->viewport(), Qt::LeftButton, {}, row5.center());
  const QRect header = grid_->visualRect(grid_->model()->index(0, 2));
  QTest::mouseDClick(grid_->viewport(), Qt::LeftButton, {}, header.center());
  ASSERT_EQ(chosen.size(), 1);
  EXPECT_EQ(chosen[0][0].value<std::int64_t>(), index_in_row(*grid_, 5));
}

}  // namespace
}  // namespace tarvo
