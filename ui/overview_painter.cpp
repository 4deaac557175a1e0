#include "overview_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <optional>

#include "log/range_fields.h"
#include "log/statistics.h"
#include "mark_colours.h"

namespace tarvo {

namespace {

const QColor kTrace(200, 0, 0);
const QColor kGrid(225, 225, 225);
const QColor kAxisText(60, 60, 60);
// Labels of the time axis keep about this many pixels apart.
constexpr int kTimeLabelPixels = 110;
constexpr int kValueLabelPixels = 40;
constexpr int kTickLength = 4;
// A note's label stops at this width; the tooltip holds the whole text.
constexpr int kNoteLabelPixels = 180;
constexpr int kNoteGap = 3;
constexpr int kNoteReach = 3;  // how near the pointer must come for the tooltip

struct Plot {
  QRect area;
  ValueAxis axis;

  double y_of(double value) const {
    return area.top() + (axis.high - value) / (axis.high - axis.low) * area.height();
  }
  double y_of_scaled(std::int64_t value) const { return y_of(static_cast<double>(value) / 10000); }
};

QString value_text(double value, double step, const std::string& separator) {
  const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 4);
  QString text = QString::number(value, 'f', decimals);
  if (separator != ".") text.replace(QLatin1Char('.'), QString::fromStdString(separator));
  return text;
}

void paint_value_axis(QPainter& painter, const Plot& plot, const std::string& separator) {
  const QFontMetrics metrics = painter.fontMetrics();
  for (double v : plot.axis.ticks) {
    const int y = static_cast<int>(std::lround(plot.y_of(v)));
    painter.setPen(kGrid);
    painter.drawLine(plot.area.left(), y, plot.area.right(), y);
    painter.setPen(kAxisText);
    const QRect label(0, y - metrics.height() / 2, plot.area.left() - kTickLength - 2,
                      metrics.height());
    painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter,
                     value_text(v, plot.axis.step, separator));
  }
}

// The unit above the value labels: the pyramid holds the values of one
// function and unit only.
void paint_unit(QPainter& painter, const Plot& plot, const OverviewSource& source) {
  if (source.unit.isEmpty()) return;
  painter.setPen(kAxisText);
  const QRect room(0, 0, plot.area.left() - kTickLength - 2, plot.area.top());
  painter.drawText(room, Qt::AlignRight | Qt::AlignVCenter, source.unit);
}

void paint_time_axis(QPainter& painter, const Plot& plot, const OverviewSource& source) {
  const IndexSpan& view = source.overview.view();
  const int width = plot.area.width();
  const QFontMetrics metrics = painter.fontMetrics();
  const int top = plot.area.bottom() + kTickLength + 2;
  for (const TimeTick& tick : time_ticks(source.log, view, std::max(width / kTimeLabelPixels, 1))) {
    const int x = plot.area.left() +
                  static_cast<int>(std::lround(x_of_record(view, width, tick.index) - 0.5));
    painter.setPen(kGrid);
    painter.drawLine(x, plot.area.top(), x, plot.area.bottom());
    painter.setPen(kAxisText);
    painter.drawLine(x, plot.area.bottom(), x, plot.area.bottom() + kTickLength);
    const QString label = QString::fromStdString(tick.label);
    const QString date = QString::fromStdString(tick.date);
    const int half =
        std::max(metrics.horizontalAdvance(label), metrics.horizontalAdvance(date)) / 2;
    const int left = std::clamp(x - half, 0, std::max(plot.area.right() + 10 - 2 * half, 0));
    painter.drawText(QRect(left, top, 2 * half + 2, metrics.height()), Qt::AlignHCenter, label);
    if (!date.isEmpty()) {
      painter.drawText(QRect(left, top + metrics.height(), 2 * half + 2, metrics.height()),
                       Qt::AlignHCenter, date);
    }
  }
}

// One stroke per column; where neighbouring columns do not overlap the stroke
// reaches over to the last one's edge, so a steep step stays one trace.
void paint_envelope(QPainter& painter, const Plot& plot, const OverviewSource& source) {
  const IndexSpan& view = source.overview.view();
  const int width = plot.area.width();
  const std::vector<MinMax> columns = source.pyramid.columns(view.first - 1, view.last, width);
  painter.setPen(QPen(kTrace, 1));
  MinMax previous;
  for (int c = 0; c < width; ++c) {
    const MinMax& column = columns[static_cast<std::size_t>(c)];
    if (column.empty()) {
      previous = column;
      continue;
    }
    MinMax stroke = column;
    if (!previous.empty()) {
      if (previous.max < column.min) stroke.add(previous.max);
      if (previous.min > column.max) stroke.add(previous.min);
    }
    const int x = plot.area.left() + c;
    painter.drawLine(QPointF(x + 0.5, plot.y_of_scaled(stroke.max)),
                     QPointF(x + 0.5, plot.y_of_scaled(stroke.min)));
    previous = column;
  }
}

// Zoomed in: the line through the records, with a dot on each once they are
// far enough apart to be told apart.
void paint_line(QPainter& painter, const Plot& plot, const OverviewSource& source) {
  const IndexSpan& view = source.overview.view();
  const int width = plot.area.width();
  QPainterPath path;
  bool open = false;
  std::vector<QPointF> dots;
  const bool dotted = view.count() * 6 <= width;
  for (std::int64_t n = view.first; n <= view.last; ++n) {
    const MinMax value = source.pyramid.envelope(n - 1, n);
    if (value.empty()) {
      open = false;
      continue;
    }
    const QPointF point(plot.area.left() + x_of_record(view, width, n),
                        plot.y_of_scaled(value.max));
    if (open) {
      path.lineTo(point);
    } else {
      path.moveTo(point);
    }
    open = true;
    if (dotted) dots.push_back(point);
  }
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(kTrace, 1.5));
  painter.drawPath(path);
  painter.setBrush(kTrace);
  for (const QPointF& dot : dots) painter.drawEllipse(dot, 2.5, 2.5);
  painter.setRenderHint(QPainter::Antialiasing, false);
}

// The records' x in the picture, or nothing when the record is outside the view.
std::optional<double> x_in_view(const Plot& plot, const IndexSpan& view, std::int64_t n) {
  if (n < view.first || n > view.last) return std::nullopt;
  return plot.area.left() + x_of_record(view, plot.area.width(), n);
}

// A band from the first reading outside to the last, at least a pixel wide.
void paint_excursions(QPainter& painter, const Plot& plot, const OverviewSource& source) {
  if (source.marks.excursions == nullptr) return;
  const IndexSpan& view = source.overview.view();
  const double half = std::max(0.5, plot.area.width() / (2.0 * static_cast<double>(view.count())));
  for (const ReadingSpan& span : source.marks.excursions->spans()) {
    const std::int64_t last = span.last == 0 ? source.log.count() : span.last;
    if (last < view.first || span.first > view.last) continue;
    const double left = *x_in_view(plot, view, std::max(span.first, view.first)) - half;
    const double right = *x_in_view(plot, view, std::min(last, view.last)) + half;
    painter.fillRect(QRectF(QPointF(left, plot.area.top()), QPointF(right, plot.area.bottom() + 1)),
                     kExcursionShade);
  }
}

void paint_limits(QPainter& painter, const Plot& plot, const OverviewSource& source) {
  const Limits* limits = source.marks.limits;
  if (limits == nullptr || !limits->any()) return;
  if (!(run_key_of(source.log[source.overview.view().last]) == limits->key)) return;
  for (const auto& [limit, colour] :
       {std::pair{limits->high, kHighLimitLine}, std::pair{limits->low, kLowLimitLine}}) {
    if (!limit) continue;
    painter.setPen(QPen(colour, 1));
    const int y = static_cast<int>(std::lround(plot.y_of(*limit)));
    painter.drawLine(plot.area.left(), y, plot.area.right(), y);
  }
}

// A line at the note's reading and as much of its text as fits beside it,
// in three rows so that notes close together stay apart.
void paint_notes(QPainter& painter, const Plot& plot, const OverviewSource& source) {
  if (source.marks.notes == nullptr) return;
  const IndexSpan& view = source.overview.view();
  const QFontMetrics metrics = painter.fontMetrics();
  int row = 0;
  for (const ChartNote& note : source.marks.notes->notes()) {
    const std::optional<double> at = x_in_view(plot, view, note.reading);
    if (!at) continue;
    const int x = static_cast<int>(*at);
    painter.setPen(QPen(kNoteLine, 1));
    painter.drawLine(x, plot.area.top(), x, plot.area.bottom());
    const QString label =
        metrics.elidedText(QString::fromStdString(note.text), Qt::ElideRight, kNoteLabelPixels);
    const int width = metrics.horizontalAdvance(label);
    const int left = x + kNoteGap + width > plot.area.right() ? x - kNoteGap - width : x + kNoteGap;
    const int baseline = plot.area.top() + metrics.ascent() + 2 + (row++ % 3) * metrics.height();
    painter.drawText(QPoint(left, baseline), label);
  }
}

}  // namespace

QRect overview_plot_area(const QRect& picture, const QFontMetrics& metrics) {
  const int left = metrics.horizontalAdvance(QStringLiteral("-0000.000")) + kTickLength + 6;
  const int bottom = 2 * metrics.height() + kTickLength + 6;
  const int top = metrics.height() + 4;  // room for the unit
  const int right = metrics.horizontalAdvance(QStringLiteral("00:00")) / 2 + 4;
  return picture.adjusted(left, top, -right, -bottom);
}

void paint_overview(QPainter& painter, const QRect& picture, const OverviewSource& source) {
  painter.fillRect(picture, Qt::white);
  const Plot plot{overview_plot_area(picture, painter.fontMetrics()), {}};
  if (plot.area.width() < 2 || plot.area.height() < 2) return;
  const IndexSpan& view = source.overview.view();
  if (view.count() == 0 || view.last > source.pyramid.size()) {
    painter.setPen(kAxisText);
    painter.drawText(plot.area, Qt::AlignCenter, source.empty_text);
    return;
  }
  const MinMax envelope = source.pyramid.envelope(view.first - 1, view.last);
  const Plot scaled{plot.area,
                    value_axis(envelope, std::max(plot.area.height() / kValueLabelPixels, 2))};
  paint_value_axis(painter, scaled, source.decimal_separator);
  paint_unit(painter, scaled, source);
  paint_time_axis(painter, scaled, source);
  painter.setClipRect(plot.area.adjusted(0, 0, 1, 1));
  paint_excursions(painter, scaled, source);
  if (view.count() >= plot.area.width()) {
    paint_envelope(painter, scaled, source);
  } else {
    paint_line(painter, scaled, source);
  }
  paint_limits(painter, scaled, source);
  paint_notes(painter, scaled, source);
  painter.setClipping(false);
  painter.setPen(kAxisText);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot.area);
}

const ChartNote* overview_note_at(const QRect& picture, const QFontMetrics& metrics,
                                  const OverviewSource& source, int x) {
  if (source.marks.notes == nullptr) return nullptr;
  const QRect area = overview_plot_area(picture, metrics);
  const IndexSpan& view = source.overview.view();
  if (view.count() == 0 || area.width() < 2) return nullptr;
  const ChartNote* found = nullptr;
  for (const ChartNote& note : source.marks.notes->notes()) {
    if (note.reading < view.first || note.reading > view.last) continue;
    const int at = area.left() + static_cast<int>(x_of_record(view, area.width(), note.reading));
    if (std::abs(at - x) <= kNoteReach) found = &note;
  }
  return found;
}

}  // namespace tarvo
