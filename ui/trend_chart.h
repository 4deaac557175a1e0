#pragma once

#include <QChartView>
#include <QFrame>
#include <cstdint>
#include <memory>
#include <optional>

#include "chart_marks.h"
#include "chart_segments.h"
#include "display/chart_cursor.h"
#include "display/chart_page.h"
#include "display/chart_paging.h"
#include "display/report_title.h"
#include "display/scroll_params.h"
#include "link/meter_state.h"

class QCategoryAxis;
class QLabel;
class QLineEdit;
class QLineSeries;
class QScrollBar;
class QValueAxis;

namespace tarvo {

// The four boxes beside the chart that show the extremes of the page on
// display and when they were logged. They belong to the window; the chart
// fills them.
struct ExtremeBoxes {
  QLineEdit* max_value = nullptr;  // MAX_NO
  QLineEdit* max_time = nullptr;   // max_time_no
  QLineEdit* min_value = nullptr;  // MIN_NO
  QLineEdit* min_time = nullptr;   // MIN_TIME_NO
};

// shp1: the cursor line. It lies under the pointer, so it receives the clicks
// meant for the chart there.
class CursorLine : public QFrame {
  Q_OBJECT

 public:
  explicit CursorLine(QWidget* parent);

 signals:
  void released();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// Chart1: one page of up to 200 readings of the log as a red line, the left
// axis from minus to plus the full scale of the range, and a cursor readout.
// The page is rebuilt from the log at every update; scrlbr_chart1, under the
// plot, pages through the log.
class TrendChart : public QChartView {
  Q_OBJECT

 public:
  TrendChart(const MeterState& meter, QScrollBar* scrollbar, ExtremeBoxes boxes, QWidget* parent);

  // The page that ends (Backward) or starts (Forward) at record n, its axis,
  // the extreme boxes and the scrollbar.
  void update_chart(std::int64_t n, PageDirection direction);
  void update_chart_scrollbar();
  // Start and a Start that found no meter: the line goes, the rest stays.
  void clear_series();
  // Reset: the line, the scrollbar, the extreme boxes and the cursor captions.
  void reset_chart();

  const ChartPage& page() const { return page_; }
  const ChartCursor& cursor() const { return cursor_; }
  QLineSeries* series() const { return series_; }
  // The stretches between gaps and the typed test frames.
  const ChartSegments& segments() const { return *segments_; }
  QValueAxis* left_axis() const { return axis_y_; }
  QCategoryAxis* bottom_axis() const { return axis_x_; }
  ScrollParams scroll_params() const;

  // The cursor readout switched on or off (Chart1DblClick).
  void Chart1DblClick();

  // The page before or after the one shown, as the wheel and Page Up or Page
  // Down move; false at either end of the log.
  bool step_page(PageStep step);
  // The report picture's look: axis texts that read in a picture 1900 pixels
  // wide, the unit beside the value axis, and the room they take; off again
  // gives the chart its look on screen.
  void set_report_look(bool report);
  // The lines above the chart in the report picture, for the page shown.
  ReportTitle report_title() const;

  // Record n on a page of its run, with the cursor switched on and standing on
  // it. The next reading shows the newest page again, as a scroll does.
  void show_reading(std::int64_t n);
  // The page stays as it is while the log grows; the scrollbar's range grows
  // with it, and the extreme boxes show the newest page.
  void hold_page();
  // The notes, the limit lines and the excursions drawn over the line.
  void set_marks(ChartMarks marks);

 signals:
  // The user moved the page (scrollbar, wheel, Page Up or Down, a chosen
  // reading).
  void page_moved();
  // The End key: back to the newest reading.
  void newest_asked();

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void drawForeground(QPainter* painter, const QRectF& rect) override;

 private slots:
  void scrlbr_chart1Scroll(int action);
  void shp1MouseUp();

 private:
  void draw_page();
  void label_bottom_axis();
  void fill_boxes(const ChartPage& page);
  void set_scroll_params(const ScrollParams& params);
  void Chart1MouseMove(QPoint position);
  void show_cursor();
  void show_page(const ChartRequest& request);
  void point_cursor_at(std::int64_t n);
  // A new page under a cursor that stands still: its labels read the new page.
  void follow_page_with_cursor();
  // Where record n or a value (times 10000) is, in the scene; nullopt off the page.
  std::optional<qreal> x_of(std::int64_t n) const;
  qreal y_of(double value) const;
  void draw_excursions(QPainter& painter, const QRectF& plot) const;
  void draw_limits(QPainter& painter, const QRectF& plot) const;
  void draw_notes(QPainter& painter, const QRectF& plot) const;

  const MeterState& meter_;
  QScrollBar* scrollbar_;
  ExtremeBoxes boxes_;
  QLineSeries* series_;
  std::unique_ptr<ChartSegments> segments_;
  QValueAxis* axis_y_;
  QCategoryAxis* axis_x_;
  CursorLine* shp1_;
  QLabel* lbl_time_;
  QLabel* lbl_chn1_;
  ChartPage page_;
  ChartCursor cursor_;
  QPoint pointer_{502, 94};  // where the cursor readout last took the pointer
  int wheel_angle_ = 0;      // eighths of a degree not yet turned into a page
  bool report_look_ = false;
  ChartMarks marks_;
};

}  // namespace tarvo
