#include "artwork.h"

#include <QPixmapCache>
#include <QString>

namespace tarvo {

QPixmap artwork_pixmap(std::string_view name, qreal device_pixel_ratio) {
  const bool dense = device_pixel_ratio > 1.0;
  const QString path = QStringLiteral(":/%1%2.png")
                           .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                                dense ? QStringLiteral("@2x") : QString());
  QPixmap pixmap;
  if (!QPixmapCache::find(path, &pixmap) && pixmap.load(path)) {
    pixmap.setDevicePixelRatio(dense ? 2.0 : 1.0);
    QPixmapCache::insert(path, pixmap);
  }
  return pixmap;
}

QIcon app_icon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/tarvo_%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace tarvo
