#include "trend_chart.h"

#include <QCategoryAxis>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QList>
#include <QMouseEvent>
#include <QPointF>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>

#include "chart_segments.h"
#include "design_font.h"
#include "display/bottom_axis.h"
#include "display/number_text.h"
#include "display/view_following.h"
#include "i18n/text_numbers.h"
#include "log/statistics.h"

namespace tarvo {
namespace {

// The plot area keeps these distances to the chart's edges; the cursor
// readout works within the same rectangle.
constexpr int kPlotLeft = 40;
constexpr int kPlotTop = 34;
constexpr int kPlotRightMargin = 20;
constexpr int kPlotBottomMargin = 40;

// The report picture's axis texts are larger and need more room.
constexpr int kReportPlotLeft = 130;
constexpr int kReportPlotTop = 24;
constexpr int kReportPlotRightMargin = 40;
constexpr int kReportPlotBottomMargin = 64;
constexpr int kReportAxisPixels = 20;

// The line runs from this far below the top to this far above the bottom.
constexpr int kLineTop = 16;
constexpr int kLineBottomMargin = 54;
constexpr int kCursorLabelHeight = 13;

constexpr double kScale = 10000.0;
constexpr qreal kLonePointSize = 5.0;

// Qt's category axis gives every label an equal share of the axis less this
// much on either side, and cuts a longer label to "12:0..."; the step must
// leave room for it.
constexpr int kAxisLabelPadding = 4;

QString qt_text(const std::string& text) {
  return QString::fromStdString(text);
}

QLabel* cursor_label(QWidget* parent, const char* name, int top) {
  auto* label = new QLabel(QStringLiteral("88:88:88"), parent);
  label->setObjectName(QLatin1String(name));
  label->setFont(design_font("Tahoma", 10));
  label->setStyleSheet(QStringLiteral("color: #008000;"));
  label->setGeometry(502, top, kCursorLabelWidth, kCursorLabelHeight);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  label->hide();
  return label;
}

std::chrono::milliseconds steady_now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace

CursorLine::CursorLine(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("shp1"));
  setFrameShape(QFrame::NoFrame);
  setAutoFillBackground(true);
  QPalette line = palette();
  line.setColor(QPalette::Window, Qt::black);
  setPalette(line);
  setCursor(Qt::SizeHorCursor);
}

void CursorLine::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  emit released();
}

// The line turns two quick releases into the switch itself; a double-click
// reaching the chart as well would switch twice.
void CursorLine::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}

TrendChart::TrendChart(const MeterState& meter, QScrollBar* scrollbar, ExtremeBoxes boxes,
                       QWidget* parent)
    : QChartView(new QChart, parent),  // the view owns its chart
      meter_(meter),
      scrollbar_(scrollbar),
      boxes_(boxes),
      series_(new QLineSeries),
      axis_y_(new QValueAxis),
      axis_x_(new QCategoryAxis) {
  setObjectName(QStringLiteral("Chart1"));
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::ClickFocus);
  setMouseTracking(true);
  viewport()->setMouseTracking(true);

  QChart* chart = this->chart();
  chart->legend()->hide();
  chart->setBackgroundRoundness(0);
  // With a fixed plot area the chart never resizes its own background, so a
  // larger chart showed grey beyond its first size; the view paints it white.
  chart->setBackgroundVisible(false);
  setBackgroundBrush(Qt::white);
  chart->setMargins(QMargins(0, 0, 0, 0));
  chart->setLocalizeNumbers(true);

  series_->setObjectName(QStringLiteral("Series1"));
  QPen pen(Qt::red);
  pen.setWidth(1);
  series_->setPen(pen);
  series_->setMarkerSize(kLonePointSize);
  chart->addSeries(series_);

  const QFont axis_font = design_font("Tahoma", 10);
  axis_x_->setRange(kBottomAxisFirst, kBottomAxisLast);
  axis_x_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  axis_x_->setLabelsFont(axis_font);
  axis_y_->setRange(-1, 1);
  axis_y_->setTickCount(5);
  axis_y_->setLabelFormat(QStringLiteral("%.4g"));
  axis_y_->setLabelsFont(axis_font);
  chart->addAxis(axis_x_, Qt::AlignBottom);
  chart->addAxis(axis_y_, Qt::AlignLeft);
  series_->attachAxis(axis_x_);
  series_->attachAxis(axis_y_);
  segments_ = std::make_unique<ChartSegments>(chart, axis_x_, axis_y_, pen);

  shp1_ = new CursorLine(this);
  shp1_->setGeometry(502, kLineTop, 1, 341);
  shp1_->hide();
  connect(shp1_, &CursorLine::released, this, &TrendChart::shp1MouseUp);
  lbl_time_ = cursor_label(this, "lbl_time", 3);
  lbl_chn1_ = cursor_label(this, "lbl_chn1", 94);

  scrollbar_->setObjectName(QStringLiteral("scrlbr_chart1"));
  scrollbar_->setOrientation(Qt::Horizontal);
  scrollbar_->setFocusPolicy(Qt::NoFocus);
  scrollbar_->setSingleStep(kScrollStep);
  scrollbar_->setPageStep(kScrollStep);
  set_scroll_params(initial_chart_scrollbar());
  connect(scrollbar_, &QScrollBar::actionTriggered, this, &TrendChart::scrlbr_chart1Scroll);
}

ScrollParams TrendChart::scroll_params() const {
  return {scrollbar_->value(), scrollbar_->minimum(), scrollbar_->maximum(), kScrollStep};
}

void TrendChart::set_scroll_params(const ScrollParams& params) {
  const QSignalBlocker quiet(scrollbar_);
  scrollbar_->setRange(params.min, params.max);
  scrollbar_->setValue(params.position);
}

void TrendChart::update_chart(std::int64_t n, PageDirection direction) {
  page_ = tarvo::update_chart(meter_.log, n, direction, meter_.DecimalSeparator);
  draw_page();
  set_scroll_params(page_.scrollbar);
  follow_page_with_cursor();
}

// The extreme boxes stay live: they show the page that ends with the newest
// reading, as they would while following.
void TrendChart::hold_page() {
  const std::int64_t count = meter_.log.count();
  set_scroll_params(held_chart_scrollbar(page_.bounds, count));
  if (count > 0) {
    fill_boxes(
        tarvo::update_chart(meter_.log, count, PageDirection::Backward, meter_.DecimalSeparator));
  }
}

// The labels must never read a time and value the page no longer holds: they
// read what now lies under the line, or hide where there is no point.
void TrendChart::follow_page_with_cursor() {
  if (!cursor_.on || !cursor_.line_visible) return;
  const QPointF in_chart = chart()->mapFromScene(mapToScene(pointer_));
  const CursorPointer pointer{pointer_.x(), pointer_.y(), width(), height(),
                              chart()->mapToValue(in_chart, series_).x()};
  move_cursor(cursor_, page_, pointer, meter_.DecimalSeparator);
  show_cursor();
}

void TrendChart::update_chart_scrollbar() {
  set_scroll_params(tarvo::update_chart_scrollbar(meter_.log.count()));
}

void TrendChart::draw_page() {
  if (page_.full_scale) {
    const double full_scale = static_cast<double>(*page_.full_scale) / kScale;
    axis_y_->setRange(-full_scale, full_scale);
  }
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(page_.points.size()));
  for (const ChartPoint& p : page_.points) {
    points.append(QPointF(p.x, static_cast<double>(p.value) / kScale));
  }
  series_->replace(points);
  // Where the meter was away the line is cut: the stretches between the gaps
  // are drawn instead of the one line, which stays for the cursor.
  const bool cut = segments_->show(page_);
  QPen pen = series_->pen();
  pen.setColor(cut ? QColor(Qt::transparent) : QColor(Qt::red));
  series_->setPen(pen);
  // A new page changes the axis, the labels and the whole line at once. The
  // scene erases an old line only within the bounds it recorded, which fell a
  // few pixels short at the plot's left edge; the plot is repainted whole.
  viewport()->update();
  // A line needs two points; a lone reading is drawn as a dot.
  series_->setPointsVisible(points.size() == 1 && !cut);
  label_bottom_axis();
  fill_boxes(page_);
}

// A page without a point leaves all four boxes as they were.
void TrendChart::fill_boxes(const ChartPage& page) {
  if (!page.extremes) return;
  const ChartExtremes& e = *page.extremes;
  boxes_.max_value->setText(qt_text(extreme_box_text(e, true, meter_.DecimalSeparator)));
  boxes_.min_value->setText(qt_text(extreme_box_text(e, false, meter_.DecimalSeparator)));
  boxes_.max_time->setText(qt_text(e.max_time));
  boxes_.min_time->setText(qt_text(e.min_time));
}

// The time of every step-th position, so that no two labels overlap at the
// plot's current width.
void TrendChart::label_bottom_axis() {
  for (const QString& label : axis_x_->categoriesLabels()) axis_x_->remove(label);
  if (page_.points.empty()) return;
  const QFontMetrics metrics(axis_x_->labelsFont());
  int widest = 0;
  for (const ChartPoint& p : page_.points) {
    widest = std::max(widest, metrics.horizontalAdvance(qt_text(p.label)));
  }
  const std::int32_t step =
      time_label_step(widest + 2 * kAxisLabelPadding, chart()->plotArea().width());
  for (const ChartPoint& p : page_.points) {
    // Labels must differ; a repeated time keeps its first place.
    if (has_time_label(p.x, step)) axis_x_->append(qt_text(p.label), p.x);
  }
}

void TrendChart::clear_series() {
  series_->clear();
  segments_->clear();
  page_.points.clear();
  page_.breaks.clear();
  page_.test_points.clear();
  page_.bounds = {};
  page_.extremes.reset();
  label_bottom_axis();
}

void TrendChart::reset_chart() {
  clear_series();
  set_scroll_params(reset_chart_scrollbar());
  boxes_.max_value->clear();
  boxes_.max_time->clear();
  boxes_.min_value->clear();
  boxes_.min_time->clear();
  clear_cursor_captions(cursor_);
  show_cursor();
}

// The scrollbar reports the new position before it takes it; the page is drawn
// for it, and the thumb then stays where the user put it.
void TrendChart::scrlbr_chart1Scroll(int /*action*/) {
  if (!scrollbar_->isEnabled()) return;
  const int position = scrollbar_->sliderPosition();
  const std::optional<ChartRequest> request = scroll_chart(position, scroll_params());
  if (!request) return;
  update_chart(request->n, request->direction);
  {
    const QSignalBlocker quiet(scrollbar_);
    scrollbar_->setSliderPosition(position);
  }
  emit page_moved();
}

void TrendChart::show_page(const ChartRequest& request) {
  update_chart(request.n, request.direction);
  {
    const QSignalBlocker quiet(scrollbar_);
    scrollbar_->setValue(chart_thumb_for(page_.bounds, meter_.log.count()));
  }
  emit page_moved();
}

bool TrendChart::step_page(PageStep step) {
  const std::optional<ChartRequest> request =
      neighbour_page(page_.bounds, meter_.log.count(), step);
  if (!request) return false;
  show_page(*request);
  return true;
}

void TrendChart::show_reading(std::int64_t n) {
  if (n < 1 || n > meter_.log.count()) return;
  show_page(page_around(meter_.log, n));
  cursor_.on = true;
  point_cursor_at(n);
}

// The cursor is moved as if the pointer stood on the reading's point, so the
// labels read exactly what a user pointing there would see.
void TrendChart::point_cursor_at(std::int64_t n) {
  const auto x = static_cast<std::int32_t>(n - page_.bounds.first);
  const ChartPoint* point = page_.point_at(x);
  const double value = point != nullptr ? static_cast<double>(point->value) / kScale : 0.0;
  const QPointF in_chart = chart()->mapToPosition(QPointF(x, value), series_);
  const QPoint in_view = mapFromScene(chart()->mapToScene(in_chart));
  const int left =
      std::clamp(in_view.x(), kPlotLeft, std::max(kPlotLeft, width() - kPlotRightMargin));
  const int top =
      std::clamp(in_view.y(), kPlotTop, std::max(kPlotTop, height() - kPlotBottomMargin));
  const CursorPointer pointer{left, top, width(), height(), static_cast<double>(x)};
  pointer_ = QPoint(left, top);
  move_cursor(cursor_, page_, pointer, meter_.DecimalSeparator);
  show_cursor();
}

// A notch of the wheel is a page: away from the user goes back in time, as the
// grid beside the chart scrolls up.
void TrendChart::wheelEvent(QWheelEvent* event) {
  const QPoint angle = event->angleDelta();
  wheel_angle_ += angle.y() != 0 ? angle.y() : angle.x();
  constexpr int kNotch = 120;
  while (wheel_angle_ >= kNotch) {
    wheel_angle_ -= kNotch;
    step_page(PageStep::Earlier);
  }
  while (wheel_angle_ <= -kNotch) {
    wheel_angle_ += kNotch;
    step_page(PageStep::Later);
  }
  event->accept();
}

void TrendChart::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
    step_page(event->key() == Qt::Key_PageUp ? PageStep::Earlier : PageStep::Later);
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_End) {
    event->accept();
    emit newest_asked();
    return;
  }
  QChartView::keyPressEvent(event);
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
  Chart1MouseMove(event->position().toPoint());
  QChartView::mouseMoveEvent(event);
}

void TrendChart::Chart1MouseMove(QPoint position) {
  setFocus();
  if (!cursor_.on) return;
  pointer_ = position;
  const QPointF in_chart = chart()->mapFromScene(mapToScene(position));
  const CursorPointer pointer{position.x(), position.y(), width(), height(),
                              chart()->mapToValue(in_chart, series_).x()};
  move_cursor(cursor_, page_, pointer, meter_.DecimalSeparator);
  show_cursor();
}

void TrendChart::mouseDoubleClickEvent(QMouseEvent* event) {
  Chart1DblClick();
  event->accept();
}

void TrendChart::Chart1DblClick() {
  switch_cursor(cursor_);
  show_cursor();
}

void TrendChart::shp1MouseUp() {
  release_on_cursor_line(cursor_, steady_now());
  show_cursor();
}

void TrendChart::show_cursor() {
  shp1_->move(cursor_.line_left, kLineTop);
  shp1_->setVisible(cursor_.line_visible);
  lbl_chn1_->setText(qt_text(cursor_.value_text));
  lbl_chn1_->move(cursor_.value_left, cursor_.value_top);
  lbl_chn1_->setVisible(cursor_.value_label_visible);
  lbl_time_->setText(qt_text(cursor_.time_text));
  lbl_time_->move(cursor_.time_left, cursor_.time_top);
  lbl_time_->setVisible(cursor_.time_label_visible);
  if (cursor_.line_visible) shp1_->raise();
}

// The scene erases an item only where it last painted it, and any paint of
// the view records every item's place anew. A paint of part of the view (a
// sibling lying over the chart, such as its scrollbar or the grid, repainting)
// that comes before the scene has taken in a page change would record the new
// places, and the old axis labels and line would stay on screen. The scene
// takes in its pending changes first, so the old places are erased as well.
void TrendChart::paintEvent(QPaintEvent* event) {
  QCoreApplication::sendPostedEvents(chart(), QEvent::LayoutRequest);
  QCoreApplication::sendPostedEvents(scene(), QEvent::MetaCall);
  QChartView::paintEvent(event);
}

void TrendChart::set_report_look(bool report) {
  report_look_ = report;
  QFont font = design_font("Tahoma", 10);
  if (report) font.setPixelSize(kReportAxisPixels);
  axis_x_->setLabelsFont(font);
  axis_y_->setLabelsFont(font);
  axis_y_->setTitleFont(font);
  const bool has_page = page_.bounds.first <= page_.bounds.last && page_.bounds.first >= 1 &&
                        page_.bounds.last <= meter_.log.count();
  const std::string unit = has_page ? run_key_of(meter_.log[page_.bounds.last]).unit : "";
  axis_y_->setTitleText(report ? qt_text(unit) : QString());
  // A one-pixel line is a hairline in a picture that wide.
  QPen pen = series_->pen();
  pen.setWidth(report ? 2 : 1);
  series_->setPen(pen);
  QResizeEvent again(size(), size());
  resizeEvent(&again);
}

ReportTitle TrendChart::report_title() const {
  const ReportWords words{meter_.text(kTextStatsCount), meter_.text(kTextStatsMin),
                          meter_.text(kTextStatsMax), meter_.text(kTextStatsMean)};
  return tarvo::report_title(meter_.log, page_.bounds, meter_.DecimalSeparator, words);
}

void TrendChart::resizeEvent(QResizeEvent* event) {
  QChartView::resizeEvent(event);
  const QMargins room = report_look_
                            ? QMargins(kReportPlotLeft, kReportPlotTop, kReportPlotRightMargin,
                                       kReportPlotBottomMargin)
                            : QMargins(kPlotLeft, kPlotTop, kPlotRightMargin, kPlotBottomMargin);
  chart()->setPlotArea(QRectF(QPointF(room.left(), room.top()),
                              QPointF(width() - room.right(), height() - room.bottom())));
  shp1_->resize(1, std::max(height() - kLineBottomMargin, 0));
  label_bottom_axis();
}

}  // namespace tarvo
