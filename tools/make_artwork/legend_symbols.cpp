#include "legend_symbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace tarvo::artwork {

namespace {

// Symbols are drawn in a unit box and stretched onto the legend's rectangle,
// so each keeps its proportions from the rectangle the table gives it.
QPointF at(const QRectF& box, qreal u, qreal v) {
  return {box.left() + u * box.width(), box.top() + v * box.height()};
}

QPen line_pen(const QColor& ink, qreal width) {
  QPen pen(ink, width);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

void draw_capacitor(QPainter& p, const QColor& ink, const QRectF& box) {
  p.setPen(line_pen(ink, 1.5));
  p.drawLine(at(box, 0.08, 0.5), at(box, 0.42, 0.5));
  p.drawLine(at(box, 0.58, 0.5), at(box, 0.92, 0.5));
  p.setPen(line_pen(ink, 2.5));
  p.drawLine(at(box, 0.43, 0.12), at(box, 0.43, 0.88));
  p.drawLine(at(box, 0.57, 0.12), at(box, 0.57, 0.88));
}

void draw_diode(QPainter& p, const QColor& ink, const QRectF& box) {
  p.setPen(line_pen(ink, 1.5));
  p.drawLine(at(box, 0.08, 0.5), at(box, 0.92, 0.5));
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawPolygon(QPolygonF{at(box, 0.36, 0.14), at(box, 0.62, 0.5), at(box, 0.36, 0.86)});
  p.setPen(line_pen(ink, 2));
  p.drawLine(at(box, 0.64, 0.14), at(box, 0.64, 0.86));
}

// A loudspeaker and its sound waves.
void draw_beeper(QPainter& p, const QColor& ink, const QRectF& box) {
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawPolygon(QPolygonF{at(box, 0.14, 0.36), at(box, 0.26, 0.36), at(box, 0.42, 0.12),
                          at(box, 0.42, 0.88), at(box, 0.26, 0.64), at(box, 0.14, 0.64)});
  QPen wave = line_pen(ink, 1.4);
  wave.setCapStyle(Qt::RoundCap);
  p.setPen(wave);
  p.setBrush(Qt::NoBrush);
  const QPointF mouth = at(box, 0.42, 0.5);
  for (const qreal share : {0.25, 0.5, 0.75}) {
    const qreal r = share * box.height();
    p.drawArc(QRectF(mouth.x() - r, mouth.y() - r, 2 * r, 2 * r), -40 * 16, 80 * 16);
  }
}

void draw_flash(QPainter& p, const QColor& ink, const QRectF& box) {
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawPolygon(QPolygonF{at(box, 0.62, 0.02), at(box, 0.98, 0.02), at(box, 0.62, 0.40),
                          at(box, 0.96, 0.40), at(box, 0.22, 0.98), at(box, 0.44, 0.56),
                          at(box, 0.06, 0.56)});
}

// A segment of the display: a bar with pointed ends.
void draw_bar(QPainter& p, const QColor& ink, const QRectF& box) {
  const qreal tip = qMin(box.height() / 2, box.width() / 4);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawPolygon(QPolygonF{
      {box.left(), box.center().y()},
      {box.left() + tip, box.top()},
      {box.right() - tip, box.top()},
      {box.right(), box.center().y()},
      {box.right() - tip, box.bottom()},
      {box.left() + tip, box.bottom()},
  });
}

void draw_pulse(QPainter& p, const QColor& ink, const QRectF& box) {
  QPen pen = line_pen(ink, 1.5);
  pen.setCapStyle(Qt::SquareCap);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF{at(box, 0.05, 0.85), at(box, 0.3, 0.85), at(box, 0.3, 0.15),
                           at(box, 0.7, 0.15), at(box, 0.7, 0.85), at(box, 0.95, 0.85)});
}

}  // namespace

void draw_symbol(QPainter& p, Glyph glyph, const QRectF& box) {
  const QColor ink = p.pen().color();
  p.save();
  switch (glyph) {
    case Glyph::Capacitor:
      draw_capacitor(p, ink, box);
      break;
    case Glyph::Diode:
      draw_diode(p, ink, box);
      break;
    case Glyph::Beeper:
      draw_beeper(p, ink, box);
      break;
    case Glyph::Flash:
      draw_flash(p, ink, box);
      break;
    case Glyph::Bar:
      draw_bar(p, ink, box);
      break;
    case Glyph::Pulse:
      draw_pulse(p, ink, box);
      break;
    case Glyph::Text:
      break;
  }
  p.restore();
}

}  // namespace tarvo::artwork
