#include "chart_segments.h"

#include <QAbstractAxis>
#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <algorithm>

namespace tarvo {
namespace {

constexpr double kScale = 10000.0;
constexpr qreal kTestFrameDot = 7.0;

QPointF plotted(const ChartPoint& p) {
  return QPointF(p.x, static_cast<double>(p.value) / kScale);
}

}  // namespace

std::vector<QList<QPointF>> page_stretches(const ChartPage& page) {
  std::vector<QList<QPointF>> stretches(1);
  for (const ChartPoint& p : page.points) {
    const bool after_gap = std::binary_search(page.breaks.begin(), page.breaks.end(), p.x);
    if (after_gap && !stretches.back().isEmpty()) stretches.emplace_back();
    stretches.back().append(plotted(p));
  }
  if (stretches.back().isEmpty()) stretches.pop_back();
  return stretches;
}

ChartSegments::ChartSegments(QChart* chart, QAbstractAxis* x, QAbstractAxis* y, const QPen& pen)
    : chart_(chart), x_(x), y_(y), pen_(pen), test_frames_(new QScatterSeries) {
  test_frames_->setObjectName(QStringLiteral("TestFrames"));
  test_frames_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
  test_frames_->setMarkerSize(kTestFrameDot);
  test_frames_->setColor(QColor(30, 60, 150));
  test_frames_->setBorderColor(QColor(30, 60, 150));
  chart_->addSeries(test_frames_);
  test_frames_->attachAxis(x_);
  test_frames_->attachAxis(y_);
}

QLineSeries* ChartSegments::stretch(std::size_t i) {
  while (stretches_.size() <= i) {
    auto* series = new QLineSeries;
    series->setObjectName(QStringLiteral("Stretch"));
    series->setPen(pen_);
    chart_->addSeries(series);
    series->attachAxis(x_);
    series->attachAxis(y_);
    stretches_.push_back(series);
  }
  return stretches_[i];
}

bool ChartSegments::show(const ChartPage& page) {
  QList<QPointF> typed;
  for (const ChartPoint& p : page.test_points) typed.append(plotted(p));
  test_frames_->replace(typed);
  if (page.breaks.empty()) {
    for (QLineSeries* series : stretches_) series->clear();
    return false;
  }
  const std::vector<QList<QPointF>> lines = page_stretches(page);
  for (std::size_t i = 0; i < std::max(lines.size(), stretches_.size()); ++i) {
    QLineSeries* series = stretch(i);
    series->replace(i < lines.size() ? lines[i] : QList<QPointF>());
    // A stretch of one reading has no line to show it; it is drawn as a dot.
    series->setPointsVisible(i < lines.size() && lines[i].size() == 1);
  }
  return true;
}

void ChartSegments::clear() {
  test_frames_->clear();
  for (QLineSeries* series : stretches_) series->clear();
}

}  // namespace tarvo
