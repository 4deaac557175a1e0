#pragma once

#include <QIcon>
#include <QPixmap>
#include <string_view>

namespace tarvo {

// One of the program's pictures ("BMP_LCD_W", "BMP_BP_20", ...) for a screen of
// the given device pixel ratio: above 1 the twice-as-dense drawing, marked with
// ratio 2, so that either way the picture measures its 1x size in logical
// pixels. Null when no picture has that name.
QPixmap artwork_pixmap(std::string_view name, qreal device_pixel_ratio);

// The program's icon in all its drawn sizes.
QIcon app_icon();

}  // namespace tarvo
