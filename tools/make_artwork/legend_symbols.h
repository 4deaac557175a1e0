#pragma once

#include <QRectF>

#include "display/lcd_annunciators.h"

class QPainter;

namespace tarvo::artwork {

// Draws a symbol legend (everything but Glyph::Text) filling the box, in the
// painter's pen colour; the caller has set it and any frame around the box.
void draw_symbol(QPainter& p, Glyph glyph, const QRectF& box);

}  // namespace tarvo::artwork
