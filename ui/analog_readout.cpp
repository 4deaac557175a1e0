#include "analog_readout.h"

#include <QLineEdit>
#include <QPainter>

#include "artwork.h"

namespace tarvo {

AnalogReadout::AnalogReadout(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("IMG_BP"));
  setFixedSize(kArcPictureWidth, kArcPictureHeight);
}

void AnalogReadout::set_mainno(QLineEdit* mainno) {
  mainno_ = mainno;
  if (mainno_) mainno_->setText(mainno_text());
}

void AnalogReadout::show_reading(const CurrentReading& reading,
                                 std::string_view decimal_separator) {
  show_readout(update_readout(reading, decimal_separator, readout_));
}

void AnalogReadout::reset(MeterModel previous) {
  show_readout(reset_readout(previous, readout_));
}

QString AnalogReadout::mainno_text() const {
  return QString::fromStdString(readout_.mainno);
}

QSize AnalogReadout::sizeHint() const {
  return {kArcPictureWidth, kArcPictureHeight};
}

// mainno lies over the scale but belongs to the window: it is greyed apart.
void AnalogReadout::set_waiting(bool waiting) {
  show_not_live(veil_, this, waiting, QString());
  if (mainno_) mainno_->setEnabled(!waiting);
}

void AnalogReadout::show_readout(const Readout& next) {
  const bool text_changed = next.mainno != readout_.mainno;
  const bool needle_changed = !(next.needle == readout_.needle);
  readout_ = next;
  if (needle_changed) update();
  if (mainno_) mainno_->setText(mainno_text());
  if (text_changed) emit mainno_changed(mainno_text());
}

void AnalogReadout::paintEvent(QPaintEvent* /*event*/) {
  const NeedleState& needle = readout_.needle;
  QPainter p(this);
  p.drawPixmap(0, 0, artwork_pixmap(needle.picture(), devicePixelRatioF()));
  if (!needle.drawn) return;
  // On a dense screen the line can be smoothed; at 1x it keeps the exact
  // pixels of the needle geometry. Pixels off the picture are clipped away.
  p.setRenderHint(QPainter::Antialiasing, devicePixelRatioF() > 1.0);
  QPen pen(QColor(kNeedleColour.red, kNeedleColour.green, kNeedleColour.blue), kNeedlePenWidth);
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  p.drawLine(needle.tip.x, needle.tip.y, needle.foot.x, needle.foot.y);
}

}  // namespace tarvo
