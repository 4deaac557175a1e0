#pragma once

#include <QList>
#include <QPen>
#include <vector>

#include "display/chart_page.h"

class QAbstractAxis;
class QChart;
class QLineSeries;
class QScatterSeries;

namespace tarvo {

// What the trend chart draws beyond its one line: the line cut where the
// meter was away (a line for each stretch read without a gap) and the typed
// test frames as dots of their own that no line runs through.
class ChartSegments {
 public:
  ChartSegments(QChart* chart, QAbstractAxis* x, QAbstractAxis* y, const QPen& pen);

  // True when the page needs the stretches: the chart's own line then stays
  // unpainted and the stretches stand in for it.
  bool show(const ChartPage& page);
  void clear();

  const std::vector<QLineSeries*>& stretches() const { return stretches_; }
  QScatterSeries* test_frames() const { return test_frames_; }

 private:
  QLineSeries* stretch(std::size_t i);

  QChart* chart_;
  QAbstractAxis* x_;
  QAbstractAxis* y_;
  QPen pen_;
  std::vector<QLineSeries*> stretches_;  // kept and reused; the unused ones are empty
  QScatterSeries* test_frames_;
};

// The points of each stretch of a page read without a gap, in order.
std::vector<QList<QPointF>> page_stretches(const ChartPage& page);

}  // namespace tarvo
