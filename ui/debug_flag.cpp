#include "debug_flag.h"

#include <QDir>
#include <QFileInfo>

namespace tarvo {

bool debug_flag_from_marker(const QString& programDir) {
  return QFileInfo(QDir(programDir).filePath(QString::fromLatin1(kDebugMarker))).isFile();
}

}  // namespace tarvo
