#include "lcd_picture.h"

#include <QPainter>
#include <QPainterPath>

#include "display/lcd_annunciators.h"
#include "legend_symbols.h"
#include "paint_kit.h"

namespace tarvo::artwork {

namespace {

constexpr qreal kCornerRadius = 3.0;

void paint_field(QPainter& p, int border) {
  const QRect whole(0, 0, kLcdWidth, kLcdHeight);
  p.fillRect(whole, Qt::black);
  p.fillRect(whole.adjusted(border, border, -border, -border), kFieldWhite);
}

QRectF box_of(const LcdRect& r) {
  return QRectF(r.left, r.top, r.width, r.height);
}

// Room for the legend inside its frame or box.
QRectF content_box(const AnnunciatorRow& row) {
  const QRectF box = box_of(row.rect);
  switch (row.paint) {
    case Paint::Framed:
    case Paint::Boxed:
      return box.adjusted(3, 2, -3, -2);
    case Paint::Red:
    case Paint::Green:
      break;
  }
  return row.glyph == Glyph::Text ? box : box.adjusted(0.5, 0.5, -0.5, -0.5);
}

QColor ink_of(Paint paint) {
  switch (paint) {
    case Paint::Framed:
    case Paint::Green:
      return kLegendGreen;
    case Paint::Boxed:
      return kFieldWhite;
    case Paint::Red:
      break;
  }
  return kLegendRed;
}

void paint_ground(QPainter& p, const AnnunciatorRow& row) {
  const QRectF box = box_of(row.rect);
  if (row.paint == Paint::Framed) {
    p.setPen(QPen(kLegendRed, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);
  } else if (row.paint == Paint::Boxed) {
    p.setPen(Qt::NoPen);
    p.setBrush(kLegendRed);
    p.drawRoundedRect(box, kCornerRadius, kCornerRadius);
  }
}

bool is_word(const AnnunciatorRow& row) {
  return row.glyph == Glyph::Text && (row.paint == Paint::Framed || row.paint == Paint::Boxed);
}

// Words in frames and boxes of one size share one type size, the largest at
// which every one of them fits, so a row of legends reads evenly.
qreal word_size(const AnnunciatorRow& row) {
  qreal size = 0.7 * row.rect.height;
  for (const AnnunciatorRow& other : kAnnunciatorTable) {
    if (!is_word(other) || other.rect.height != row.rect.height) continue;
    size = fitted_pixel_size(content_box(other).size(), qstring(other.text), size, Cut::Narrow);
  }
  return size;
}

// A legend's rectangle is cut out whole, so it starts from a clean field even
// where it reaches into the wide border.
void paint_legend(QPainter& p, const AnnunciatorRow& row) {
  p.fillRect(box_of(row.rect), kFieldWhite);
  paint_ground(p, row);
  p.setPen(ink_of(row.paint));
  p.setBrush(Qt::NoBrush);
  const QRectF room = content_box(row);
  if (row.glyph != Glyph::Text) {
    draw_symbol(p, row.glyph, room);
    return;
  }
  const QString text = qstring(row.text);
  if (is_word(row)) {
    draw_fitted_text(p, room, text, word_size(row), Place::Centre, Cut::Narrow);
  } else {
    draw_fitted_text(p, room, text, row.rect.height, Place::Bottom);
  }
}

}  // namespace

void paint_blank_lcd(QPainter& p) {
  paint_field(p, 2);
}

void paint_lit_lcd(QPainter& p) {
  paint_field(p, 4);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  for (const AnnunciatorRow& row : kAnnunciatorTable) paint_legend(p, row);
}

}  // namespace tarvo::artwork
