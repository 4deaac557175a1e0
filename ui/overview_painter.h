#pragma once

#include <QRect>
#include <QString>
#include <string>

#include "chart_marks.h"
#include "display/log_overview.h"
#include "display/min_max_pyramid.h"

class QFontMetrics;
class QPainter;

namespace tarvo {

// What one picture of the overview is drawn from.
struct OverviewSource {
  const ReadingLog& log;
  const MinMaxPyramid& pyramid;  // position p is record p + 1
  const LogOverview& overview;
  const std::string& decimal_separator;
  QString empty_text;     // shown instead of a plot when there is nothing to show
  QString unit;           // the one unit of the pyramid's values, shown above them
  ChartMarks marks = {};  // the chart's limits, excursions and notes
};

// The plot inside a picture of the given size: room on the left for the
// value labels and below for two lines of time labels.
QRect overview_plot_area(const QRect& picture, const QFontMetrics& metrics);

// Draws the overview into the picture: one vertical stroke per pixel column
// from the lowest to the highest value of its records, or, zoomed in to
// fewer records than pixels, the line through them; the axes with their
// labels around it; over them the excursions as bands, the limit lines when
// the view ends in the limits' function and unit, and each note as a line
// with the start of its text. Its cost follows the width, not the length of
// the log, and the number of marks.
void paint_overview(QPainter& painter, const QRect& picture, const OverviewSource& source);

// The note whose line is within a few pixels of x in a picture of this size
// (the newest of several), for its tooltip; nullptr for none.
const ChartNote* overview_note_at(const QRect& picture, const QFontMetrics& metrics,
                                  const OverviewSource& source, int x);

}  // namespace tarvo
