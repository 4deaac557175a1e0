#include "app_icon.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "paint_kit.h"

namespace tarvo::artwork {

namespace {

const QPointF kPivot(128, 182);
constexpr qreal kRadius = 112;
constexpr qreal kHalfSweep = 53.5;

QRectF circle(qreal radius) {
  return {kPivot.x() - radius, kPivot.y() - radius, 2 * radius, 2 * radius};
}

void paint_body(QPainter& p) {
  QLinearGradient shade(0, 8, 0, 248);
  shade.setColorAt(0, QColor(62, 68, 78));
  shade.setColorAt(1, QColor(30, 33, 38));
  p.setPen(Qt::NoPen);
  p.setBrush(shade);
  p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
  p.setBrush(kFieldWhite);
  p.drawRoundedRect(QRectF(28, 36, 200, 168), 18, 18);
}

void paint_band(QPainter& p) {
  QConicalGradient g(kPivot, 90 - kHalfSweep);
  const qreal sweep = 2 * kHalfSweep / 360;
  g.setColorAt(0, QColor(215, 38, 30));
  g.setColorAt(0.25 * sweep, QColor(245, 205, 0));
  g.setColorAt(0.5 * sweep, QColor(30, 160, 60));
  g.setColorAt(0.75 * sweep, QColor(245, 205, 0));
  g.setColorAt(sweep, QColor(215, 38, 30));
  g.setColorAt(1, QColor(215, 38, 30));
  QPen band(QBrush(g), 26);
  band.setCapStyle(Qt::FlatCap);
  p.setPen(band);
  p.setBrush(Qt::NoBrush);
  p.drawArc(circle(kRadius - 13), qRound((90 - kHalfSweep) * 16), qRound(2 * kHalfSweep * 16));
}

void paint_needle(QPainter& p) {
  p.save();
  p.translate(kPivot);
  p.rotate(28);
  QPen needle(QColor(241, 14, 10), 12);
  needle.setCapStyle(Qt::RoundCap);
  p.setPen(needle);
  p.drawLine(QPointF(0, -20), QPointF(0, -kRadius + 4));
  p.restore();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 33, 38));
  p.drawEllipse(kPivot, 15, 15);
}

}  // namespace

void paint_app_icon(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  paint_body(p);
  p.save();
  p.setClipRect(QRectF(28, 36, 200, 168));
  paint_band(p);
  paint_needle(p);
  p.restore();
}

}  // namespace tarvo::artwork
