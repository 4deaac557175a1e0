#pragma once

#include <QColor>

namespace tarvo {

// The chart and the overview mark limits, excursions and notes alike, so
// that one is read as the other.
inline const QColor kExcursionShade(255, 170, 0, 70);
inline const QColor kHighLimitLine(200, 0, 200);
inline const QColor kLowLimitLine(0, 90, 220);
inline const QColor kNoteLine(0, 140, 0);

}  // namespace tarvo
