#include "arc_picture.h"

#include <QConicalGradient>
#include <QPainter>
#include <QPainterPath>

#include "paint_kit.h"

namespace tarvo::artwork {

namespace {

constexpr int kFrame = 2;
// The band fills the last pixels inside the needle's reach, so the needle's
// tip always ends on it; the ticks stand on the face just inside the band.
constexpr qreal kBandOuter = kArcRadius - 0.5;
constexpr qreal kBandInner = kArcRadius - 13.0;
constexpr qreal kMajorTickInner = kBandInner - 13.0;
constexpr qreal kMinorTickInner = kBandInner - 7.0;
constexpr qreal kNumberRadius = kMajorTickInner - 12.0;

QPointF point_at(double radians, double radius) {
  const ArcPoint p = arc_point(radians, radius);
  return {p.x, p.y};
}

QRectF circle(qreal radius) {
  return {kArcPivotX - radius, kArcPivotY - radius, 2 * radius, 2 * radius};
}

// Green at zero through yellow and orange to red at both ends. Qt's conical
// gradient runs counter-clockwise from its start angle, in fractions of a turn.
QConicalGradient band_colours() {
  const qreal start = 90.0 - kArcHalfSweepDegrees;
  const qreal sweep = 2 * kArcHalfSweepDegrees / 360.0;
  QConicalGradient g(QPointF(kArcPivotX, kArcPivotY), start);
  const QColor red(215, 38, 30), orange(240, 130, 0), yellow(245, 205, 0), green(30, 160, 60);
  g.setColorAt(0.0, red);
  g.setColorAt(0.2 * sweep, orange);
  g.setColorAt(0.36 * sweep, yellow);
  g.setColorAt(0.5 * sweep, green);
  g.setColorAt(0.64 * sweep, yellow);
  g.setColorAt(0.8 * sweep, orange);
  g.setColorAt(sweep, red);
  g.setColorAt(1.0, red);
  return g;
}

void paint_band(QPainter& p) {
  const qreal start = 90.0 - kArcHalfSweepDegrees;
  const qreal span = 2 * kArcHalfSweepDegrees;
  QPainterPath band;
  band.arcMoveTo(circle(kBandOuter), start);
  band.arcTo(circle(kBandOuter), start, span);
  band.arcTo(circle(kBandInner), start + span, -span);
  band.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(band_colours());
  p.drawPath(band);

  p.setPen(QPen(kInk, 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawArc(circle(kBandInner - 0.5), qRound(start * 16), qRound(span * 16));
}

void paint_ticks(QPainter& p, const ArcFace& face) {
  for (const ArcTick& tick : arc_ticks(face)) {
    const qreal inner = tick.numbered ? kMajorTickInner : kMinorTickInner;
    QPen pen(kInk, tick.numbered ? 1.8 : 1.0);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(point_at(tick.radians, inner), point_at(tick.radians, kBandInner - 0.5));
    if (!tick.numbered) continue;
    const ArcPoint centre = arc_label_centre(tick.radians, kNumberRadius);
    draw_fitted_text(p,
                     QRectF(centre.x - kArcLabelWidth / 2, centre.y - kArcLabelHeight / 2,
                            kArcLabelWidth, kArcLabelHeight),
                     qstring(tick.label), 12, Place::Centre);
  }
}

void paint_frame(QPainter& p) {
  const QRect whole(0, 0, kArcPictureWidth, kArcPictureHeight);
  p.fillRect(whole, Qt::black);
  p.fillRect(whole.adjusted(kFrame, kFrame, -kFrame, -kFrame), kFieldWhite);
}

}  // namespace

void paint_arc_face(QPainter& p, const ArcFace& face) {
  paint_frame(p);
  p.save();
  p.setClipRect(
      QRect(kFrame, kFrame, kArcPictureWidth - 2 * kFrame, kArcPictureHeight - 2 * kFrame));
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  paint_band(p);
  paint_ticks(p, face);
  p.restore();
}

}  // namespace tarvo::artwork
