// make_artwork DIR ITEM...
//
// Draws the program's pictures into DIR as PNG files. An ITEM is a picture
// name (BMP_LCD_W, BMP_LCD_FINAL, BMP_BP_5, ...), written as NAME.png at the
// size the views use and NAME@2x.png at twice that for high-density screens,
// or tarvo_SIZE, the program's icon as a SIZE x SIZE picture in DIR/icons.
// The build runs it; nothing it writes belongs in the source tree.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <optional>

#include "app_icon.h"
#include "arc_picture.h"
#include "display/arc_face.h"
#include "display/lcd_annunciators.h"
#include "lcd_picture.h"
#include "paint_kit.h"

namespace tarvo::artwork {
namespace {

using Painting = std::function<void(QPainter&)>;

struct Picture {
  QSize size;
  Painting paint;
};

std::optional<Picture> picture_named(const QString& name) {
  if (name == qstring(kLcdBlankPicture)) return Picture{{kLcdWidth, kLcdHeight}, paint_blank_lcd};
  if (name == qstring(kLcdLitPicture)) return Picture{{kLcdWidth, kLcdHeight}, paint_lit_lcd};
  for (const ArcFace& face : kArcFaces) {
    if (name == qstring(face.picture)) {
      return Picture{{kArcPictureWidth, kArcPictureHeight},
                     [&face](QPainter& p) { paint_arc_face(p, face); }};
    }
  }
  return std::nullopt;
}

// The pictures are opaque 24-bit images, as the views expect to copy them.
QImage render_opaque(const Picture& picture, int scale) {
  QImage image(picture.size * scale, QImage::Format_RGB32);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::white);
  QPainter p(&image);
  picture.paint(p);
  p.end();
  return image.convertToFormat(QImage::Format_RGB888);
}

QImage render_icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.scale(static_cast<qreal>(size) / kIconDesignSize, static_cast<qreal>(size) / kIconDesignSize);
  paint_app_icon(p);
  p.end();
  return image;
}

bool save(const QImage& image, const QString& path) {
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "make_artwork: cannot write %s\n", qPrintable(path));
  return false;
}

bool make_item(const QDir& dir, const QString& item) {
  if (const std::optional<Picture> picture = picture_named(item)) {
    return save(render_opaque(*picture, 1), dir.filePath(item + ".png")) &&
           save(render_opaque(*picture, 2), dir.filePath(item + "@2x.png"));
  }
  bool is_size = false;
  const int size = item.startsWith("tarvo_") ? item.mid(6).toInt(&is_size) : 0;
  if (is_size && size > 0 && size <= 1024) {
    return dir.mkpath("icons") && save(render_icon(size), dir.filePath("icons/" + item + ".png"));
  }
  std::fprintf(stderr, "make_artwork: no picture is called %s\n", qPrintable(item));
  return false;
}

}  // namespace
}  // namespace tarvo::artwork

int main(int argc, char** argv) {
  // Text needs a font database, which needs a platform; no window is opened.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = QGuiApplication::arguments();
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: make_artwork DIR ITEM...\n");
    return 2;
  }
  const QDir dir(args[1]);
  if (!dir.mkpath(".")) {
    std::fprintf(stderr, "make_artwork: cannot create %s\n", qPrintable(args[1]));
    return 1;
  }
  bool ok = true;
  for (const QString& item : args.mid(2)) ok = tarvo::artwork::make_item(dir, item) && ok;
  return ok ? 0 : 1;
}
