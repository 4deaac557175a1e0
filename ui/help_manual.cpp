#include "help_manual.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace tarvo {

QString manual_path(const QString& programDir) {
  const QDir dir(programDir);
  const QString file = QString::fromLatin1(kManualFile);
  // An installed program finds it through the relative path from its own
  // folder to the documentation folder, wherever the prefix is.
  const QString candidates[] = {
      dir.filePath(file),
      dir.filePath(QStringLiteral(TARVO_DOCDIR_FROM_BINDIR "/") + file),
  };
  for (const QString& path : candidates) {
    if (QFileInfo(path).isFile()) return QDir::cleanPath(path);
  }
  return {};
}

bool open_manual(const QString& programDir) {
  const QString path = manual_path(programDir);
  if (path.isEmpty()) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace tarvo
