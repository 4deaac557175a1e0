// What the chart draws over its line: the excursions outside the limits as
// bands, the limit lines of the page's function and unit, and the notes.
#include <QFontMetrics>
#include <QLineSeries>
#include <QPainter>
#include <algorithm>

#include "design_font.h"
#include "log/statistics.h"
#include "mark_colours.h"
#include "trend_chart.h"

namespace tarvo {
namespace {

constexpr int kNoteTextGap = 3;

}  // namespace

void TrendChart::set_marks(ChartMarks marks) {
  marks_ = marks;
  viewport()->update();
}

std::optional<qreal> TrendChart::x_of(std::int64_t n) const {
  if (n < page_.bounds.first || n > page_.bounds.last) return std::nullopt;
  const QPointF at(static_cast<qreal>(n - page_.bounds.first), 0);
  return chart()->mapToScene(chart()->mapToPosition(at, series_)).x();
}

qreal TrendChart::y_of(double value) const {
  return chart()->mapToScene(chart()->mapToPosition(QPointF(0, value), series_)).y();
}

void TrendChart::drawForeground(QPainter* painter, const QRectF& rect) {
  QChartView::drawForeground(painter, rect);
  const bool has_page = page_.bounds.first >= 1 && page_.bounds.first <= page_.bounds.last &&
                        page_.bounds.last <= meter_.log.count();
  if (!has_page) return;
  const QRectF plot = chart()->mapRectToScene(chart()->plotArea());
  painter->save();
  painter->setClipRect(plot);
  draw_excursions(*painter, plot);
  draw_limits(*painter, plot);
  draw_notes(*painter, plot);
  painter->restore();
}

// A band from the first reading outside to the last one, half a step wider
// each side so that an excursion of one reading shows too.
void TrendChart::draw_excursions(QPainter& painter, const QRectF& plot) const {
  if (marks_.excursions == nullptr) return;
  const std::int64_t newest = page_.bounds.last;
  const qreal step = chart()->mapToPosition(QPointF(1, 0), series_).x() -
                     chart()->mapToPosition(QPointF(0, 0), series_).x();
  for (const ReadingSpan& span : marks_.excursions->spans()) {
    const std::int64_t last = span.last == 0 ? newest : span.last;
    if (last < page_.bounds.first || span.first > newest) continue;
    const auto left = x_of(std::max(span.first, page_.bounds.first));
    const auto right = x_of(std::min(last, newest));
    const qreal half_step = std::max<qreal>(1, step / 2);
    painter.fillRect(
        QRectF(QPointF(*left - half_step, plot.top()), QPointF(*right + half_step, plot.bottom())),
        kExcursionShade);
  }
}

void TrendChart::draw_limits(QPainter& painter, const QRectF& plot) const {
  if (marks_.limits == nullptr || !marks_.limits->any()) return;
  if (!(run_key_of(meter_.log[page_.bounds.last]) == marks_.limits->key)) return;
  const auto line = [&](const std::optional<double>& limit, const QColor& colour) {
    if (!limit) return;
    painter.setPen(QPen(colour, report_look_ ? 2 : 1));
    const qreal y = y_of(*limit);
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
  };
  line(marks_.limits->high, kHighLimitLine);
  line(marks_.limits->low, kLowLimitLine);
}

// A vertical line at the note's reading, its text beside the line's top.
void TrendChart::draw_notes(QPainter& painter, const QRectF& plot) const {
  if (marks_.notes == nullptr) return;
  QFont font = design_font("Tahoma", 11);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  int row = 0;
  for (const ChartNote& note : marks_.notes->notes()) {
    const auto x = x_of(note.reading);
    if (!x) continue;
    painter.setPen(QPen(kNoteLine, report_look_ ? 2 : 1));
    painter.drawLine(QPointF(*x, plot.top()), QPointF(*x, plot.bottom()));
    const QString text = QString::fromStdString(note.text);
    // Text that would leave the plot on the right stands left of the line.
    const qreal width = metrics.horizontalAdvance(text);
    const qreal left =
        *x + kNoteTextGap + width > plot.right() ? *x - kNoteTextGap - width : *x + kNoteTextGap;
    const qreal baseline = plot.top() + metrics.ascent() + 2 + (row++ % 3) * metrics.height();
    painter.drawText(QPointF(left, baseline), text);
  }
}

}  // namespace tarvo
