#pragma once

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <string_view>

#include "artwork.h"

namespace tarvo {

// Pictures and grabs in one pixel format, at the density the widget paints in,
// so that regions of them compare with ==.
inline QImage picture_image(std::string_view name, qreal ratio) {
  return artwork_pixmap(name, ratio).toImage().convertToFormat(QImage::Format_RGB32);
}

inline QImage grab_image(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QRect device_rect(const QRect& logical, qreal ratio) {
  return {qRound(logical.x() * ratio), qRound(logical.y() * ratio), qRound(logical.width() * ratio),
          qRound(logical.height() * ratio)};
}

inline int colour_distance(QColor a, QColor b) {
  return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

// Counts the pixels that differ between two images of one size, leaving out
// those within `margin` logical pixels of the segment (a needle).
inline int differing_pixels(const QImage& a, const QImage& b, qreal ratio, QLineF skip = {},
                            qreal margin = 0) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) == b.pixel(x, y)) continue;
      const QPointF p((x + 0.5) / ratio, (y + 0.5) / ratio);
      if (margin > 0) {
        const qreal along = QPointF::dotProduct(p - skip.p1(), skip.p2() - skip.p1()) /
                            (skip.length() * skip.length());
        const QPointF nearest = skip.pointAt(qBound(0.0, along, 1.0));
        if (QLineF(nearest, p).length() <= margin) continue;
      }
      ++count;
    }
  }
  return count;
}

}  // namespace tarvo
