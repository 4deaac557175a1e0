#pragma once

class QPainter;

namespace tarvo::artwork {

inline constexpr int kIconDesignSize = 256;

// The program's icon: a meter face with the arc and its needle, painted in a
// 256 x 256 design square that the painter scales to each icon size.
void paint_app_icon(QPainter& p);

}  // namespace tarvo::artwork
