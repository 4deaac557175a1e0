#include "lcd_panel.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "artwork.h"
#include "design_font.h"

namespace tarvo {

namespace {

QRect qrect(const LcdRect& r) {
  return {r.left, r.top, r.width, r.height};
}

QString qstring(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The labels were laid out for Arial, whose digits are narrower than those of
// the faces most systems have: squeeze the face until the design caption fits
// the label, so five digits and a point never run past the left edge.
QFont digit_font(const LcdLabelLayout& layout) {
  constexpr int kWidest = 100, kNarrowest = 52, kStep = 2;
  QFont font = design_font(kLcdDigitFont, layout.char_height, true);
  const QString widest = qstring(kLcdDesignCaption);
  const qreal room = layout.rect.width - 2;
  const auto fits = [&font, &widest, room](int stretch) {
    font.setStretch(stretch);
    return QFontMetricsF(font).horizontalAdvance(widest) <= room;
  };
  // Each stretch tried loads a face of its own, so start from the stretch the
  // width at 100 points to and step from there to the widest that fits.
  font.setStretch(kWidest);
  const qreal full = QFontMetricsF(font).horizontalAdvance(widest);
  if (full <= room) return font;
  int stretch = static_cast<int>(kWidest * room / full) / kStep * kStep;
  stretch = std::clamp(stretch, kNarrowest, kWidest - kStep);
  if (fits(stretch)) {
    while (stretch + kStep < kWidest && fits(stretch + kStep)) stretch += kStep;
  } else {
    while (stretch > kNarrowest && !fits(stretch - kStep)) stretch -= kStep;
    if (stretch > kNarrowest) stretch -= kStep;
  }
  font.setStretch(stretch);
  return font;
}

QLabel* make_label(const LcdLabelLayout& layout, QWidget* parent) {
  auto* label = new QLabel(qstring(kLcdDesignCaption), parent);
  label->setObjectName(qstring(layout.control));
  label->setGeometry(qrect(layout.rect));
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setFont(digit_font(layout));
  label->setAutoFillBackground(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText,
                   QColor(kLcdDigitColour.red, kLcdDigitColour.green, kLcdDigitColour.blue));
  label->setPalette(palette);
  return label;
}

}  // namespace

LcdPanel::LcdPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("IMG_LCD"));
  setFixedSize(kLcdWidth, kLcdHeight);
  for (std::size_t k = 0; k < kLcdLabelLayouts.size(); ++k) {
    labels_[k] = make_label(kLcdLabelLayouts[k], this);
  }
}

void LcdPanel::init_lcd_table() {
  show_view(tarvo::init_lcd_table(view_));
}

void LcdPanel::show_reading(const CurrentReading& reading, std::string_view decimal_separator) {
  show_view(update_lcd(reading, decimal_separator, view_));
}

void LcdPanel::reset(MeterModel previous) {
  show_view(reset_lcd(previous, view_));
}

bool LcdPanel::overlay_lit(int overlay) const {
  return overlay >= 0 && static_cast<std::size_t>(overlay) < kLcdOverlayCount &&
         view_.lit.test(static_cast<std::size_t>(overlay));
}

QLabel* LcdPanel::label(LcdLabel which) const {
  for (std::size_t k = 0; k < kLcdLabelLayouts.size(); ++k) {
    if (kLcdLabelLayouts[k].label == which) return labels_[k];
  }
  return nullptr;
}

QSize LcdPanel::sizeHint() const {
  return {kLcdWidth, kLcdHeight};
}

void LcdPanel::set_waiting(bool waiting, const QString& text) {
  show_not_live(veil_, this, waiting, text);
}

void LcdPanel::show_view(const LcdView& next) {
  for (std::size_t k = 0; k < kLcdLabelLayouts.size(); ++k) {
    const LcdLabelState& state = next.label(kLcdLabelLayouts[k].label);
    labels_[k]->setText(qstring(state.caption));
    labels_[k]->setVisible(state.visible);
  }
  if (next.lit != view_.lit) update();
  view_ = next;
}

// The overlays are cut once per screen density, as the meter's own layout cuts
// them once; painting then only chooses which to show.
void LcdPanel::load_pictures(qreal device_pixel_ratio) {
  blank_ = artwork_pixmap(kLcdBlankPicture, device_pixel_ratio);
  const QPixmap lit = artwork_pixmap(kLcdLitPicture, device_pixel_ratio);
  const qreal ratio = lit.devicePixelRatio();
  for (std::size_t k = 0; k < kLcdOverlayCount; ++k) {
    const QRect rect = qrect(lcd_rect(k));
    if (rect.isEmpty()) continue;
    const QRectF source(rect.topLeft() * ratio, rect.size() * ratio);
    overlays_[k] = lit.copy(source.toRect());
    overlays_[k].setDevicePixelRatio(ratio);
  }
  pictures_ratio_ = device_pixel_ratio;
}

void LcdPanel::paintEvent(QPaintEvent* /*event*/) {
  if (devicePixelRatioF() != pictures_ratio_) load_pictures(devicePixelRatioF());
  QPainter p(this);
  p.drawPixmap(0, 0, blank_);
  for (std::size_t k = 0; k < kLcdOverlayCount; ++k) {
    if (!view_.lit.test(k) || overlays_[k].isNull()) continue;
    const LcdRect r = lcd_rect(k);
    p.drawPixmap(r.left, r.top, overlays_[k]);
  }
}

}  // namespace tarvo
