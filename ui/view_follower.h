#pragma once

#include <QFrame>
#include <cstdint>

#include "display/chart_page.h"
#include "display/view_following.h"
#include "link/meter_state.h"

class QLabel;
class QPushButton;

namespace tarvo {

class DataGrid;
class TrendChart;

// The grid and the chart follow the newest reading until the user looks at an
// older part of the log in either of them; both then hold still, and a bar
// over the chart says so, counts the readings that came meanwhile and offers
// the way back. Reaching the newest reading in either view, the bar's button
// or the End key lets them follow again. The meter's displays, the extreme
// boxes and the status bar are not held.
class ViewFollower : public QFrame {
  Q_OBJECT

 public:
  // The bar is a child of parent, kept over the chart's top right corner.
  ViewFollower(const MeterState& s, DataGrid& grid, TrendChart& chart, QWidget* parent);

  // The views of a commit: to the newest while following, held otherwise.
  void refresh_grid();
  void update_chart(std::int64_t n, PageDirection direction);
  // Record n in both views as the user asked for it (a double-clicked row, a
  // moment of the overview); they hold unless both show the newest.
  void show_reading(std::int64_t n);
  // Both views at the newest reading, following again.
  void show_newest();
  // The views were set afresh (Reset, a log opened): following, bar hidden.
  void views_reset();
  // The grid laid out for its new size, its rows from the same record on
  // while they hold.
  void lay_out_grid();
  void retranslate();

  bool holding() const { return following_.holding; }
  std::int64_t meanwhile() const;
  QLabel* note() const { return note_; }
  QPushButton* newest_button() const { return newest_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void grid_moved();
  void page_moved();
  void moved(bool shows_newest);
  void show_state();
  void place();

  const MeterState& s_;
  DataGrid& grid_;
  TrendChart& chart_;
  QLabel* note_;
  QPushButton* newest_;
  ViewFollowing following_;
  bool choosing_ = false;  // both views move for one request
};

}  // namespace tarvo
