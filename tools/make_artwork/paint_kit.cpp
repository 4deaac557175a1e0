#include "paint_kit.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <QtMath>

namespace tarvo::artwork {

QFont legend_font(qreal pixel_size, Cut cut) {
  QFont font;
  if (cut == Cut::Narrow) {
    font.setFamilies(QStringList{"DejaVu Sans Condensed", "Liberation Sans Narrow", "Arial Narrow",
                                 "DejaVu Sans", "Liberation Sans", "Arial"});
  } else {
    font.setFamilies(
        QStringList{"DejaVu Sans", "Liberation Sans", "Arial", "Helvetica", "Sans Serif"});
  }
  font.setWeight(QFont::Bold);
  font.setPixelSize(qMax(1, qRound(pixel_size)));
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

namespace {

QRectF ink_of(const QFont& font, const QString& text) {
  return QFontMetricsF(font).tightBoundingRect(text);
}

}  // namespace

QString qstring(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Steps down in whole pixels: hinting makes the ink of whole sizes predictable.
int fitted_pixel_size(const QSizeF& room, const QString& text, qreal max_pixel_size, Cut cut) {
  int size = qFloor(max_pixel_size);
  for (; size > 4; --size) {
    const QRectF ink = ink_of(legend_font(size, cut), text);
    if (ink.width() <= room.width() && ink.height() <= room.height()) break;
  }
  return size;
}

void draw_fitted_text(QPainter& p, const QRectF& box, const QString& text, qreal max_pixel_size,
                      Place place, Cut cut) {
  const QFont font = legend_font(fitted_pixel_size(box.size(), text, max_pixel_size, cut), cut);
  const QRectF ink = ink_of(font, text);
  const qreal x = box.center().x() - ink.center().x();
  // Words are centred on their capitals, so the overshoot of round letters
  // does not move one word's baseline against its neighbour's.
  // Resting letters keep half a pixel clear of the edge: the ink is measured
  // at 1x, and smoothing at 2x may reach a little further.
  const qreal y = place == Place::Centre
                      ? qRound(box.center().y() + QFontMetricsF(font).capHeight() / 2)
                      : qFloor(box.bottom() - ink.bottom() - 0.5);
  p.setFont(font);
  p.drawText(QPointF(qRound(x), y), text);
}

}  // namespace tarvo::artwork
