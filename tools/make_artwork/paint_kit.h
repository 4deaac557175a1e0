#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <string_view>

class QPainter;

namespace tarvo::artwork {

// The printed colours of the meter's face.
inline const QColor kLegendGreen{0, 128, 0};  // the colour of the LCD digits
inline const QColor kLegendRed{214, 36, 30};
inline const QColor kFieldWhite{255, 255, 255};
inline const QColor kInk{34, 34, 34};

// Bold sans-serif at a pixel size; the narrow cut for words that must fill
// small frames. The first family present wins, so the pictures look alike on
// machines with different fonts.
enum class Cut { Normal, Narrow };
QFont legend_font(qreal pixel_size, Cut cut = Cut::Normal);

// Where a text sits inside a box.
enum class Place {
  Centre,  // centred both ways, for framed and boxed legends and numbers
  Bottom,  // centred across, ink resting on the box's bottom edge, for unit letters
};

QString qstring(std::string_view utf8);

// The largest whole pixel size, at most max_pixel_size, at which the ink of the
// text fits the room.
int fitted_pixel_size(const QSizeF& room, const QString& text, qreal max_pixel_size,
                      Cut cut = Cut::Normal);

// Draws the text as large as fits the box (never above max_pixel_size), in the
// painter's pen colour. The box is measured by the ink, not by the font's line,
// so letters fill small rectangles evenly.
void draw_fitted_text(QPainter& p, const QRectF& box, const QString& text, qreal max_pixel_size,
                      Place place, Cut cut = Cut::Normal);

}  // namespace tarvo::artwork
