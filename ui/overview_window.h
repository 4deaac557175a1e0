#pragma once

#include <QDialog>
#include <QPoint>
#include <QWidget>
#include <cstdint>

#include "chart_marks.h"
#include "display/log_overview.h"
#include "display/min_max_pyramid.h"
#include "link/meter_state.h"
#include "overview_painter.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tarvo {

// The picture of the overview, with the pointer's zoom, drag and click.
class OverviewPlot : public QWidget {
  Q_OBJECT

 public:
  OverviewPlot(const MeterState& s, LogPyramid& pyramid, LogOverview& overview, QWidget* parent);
  void set_empty_text(const QString& text) { empty_text_ = text; }
  void set_marks(ChartMarks marks) { marks_ = marks; }
  // The plot inside the widget, where records are laid out.
  QRect plot_area() const;

 signals:
  void view_changed();
  void reading_chosen(std::int64_t index);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  OverviewSource source() const;

  const MeterState& s_;
  LogPyramid& pyramid_;
  LogOverview& overview_;
  QString empty_text_;
  ChartMarks marks_;
  bool pressed_ = false, dragged_ = false;
  QPoint press_at_;
  IndexSpan press_view_;
};

// View > Trend overview: the whole log, or its current run, at a glance, as
// the band between the lowest and highest value of each pixel's readings.
// Not modal; it follows each commit while the program runs, at a cost per
// commit that does not grow with the log, and repaints once for a burst.
class OverviewWindow : public QDialog {
  Q_OBJECT

 public:
  explicit OverviewWindow(MeterState& s, QWidget* parent = nullptr);
  ~OverviewWindow() override;

  // The log was loaded, reset or cleared: everything is built again.
  void rebuild();
  void retranslate();

  OverviewPlot* plot() const { return plot_; }
  const LogOverview& overview() const { return overview_; }
  void set_scope(OverviewScope scope);
  // What the chart marks, drawn here too; marks_changed() after they change.
  void set_marks(ChartMarks marks);
  void marks_changed();

 signals:
  void reading_chosen(std::int64_t index);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  class Follower;
  void log_grew();
  void refresh();
  void show_status();

  MeterState& s_;
  LogPyramid pyramid_;
  LogOverview overview_;
  OverviewScope scope_ = OverviewScope::WholeLog;
  std::unique_ptr<Follower> follower_;
  CommitSubscription following_;
  QComboBox* scope_box_ = nullptr;
  QPushButton* show_all_ = nullptr;
  OverviewPlot* plot_ = nullptr;
  QLabel* status_ = nullptr;
  QTimer* repaint_ = nullptr;
};

}  // namespace tarvo
