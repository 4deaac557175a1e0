#include "help_manual.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
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

// The opener hands a PDF to nobody when no viewer is set up, and still
// reports success; asking first is the only way to know.
std::optional<QString> desktop_pdf_viewer() {
  constexpr int kStartMs = 2000, kAnswerMs = 3000;
  QProcess query;
  query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                           QStringLiteral("application/pdf")});
  if (!query.waitForStarted(kStartMs)) return std::nullopt;
  if (!query.waitForFinished(kAnswerMs) || query.exitStatus() != QProcess::NormalExit) {
    query.kill();
    query.waitForFinished(kStartMs);
    return std::nullopt;
  }
  return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

bool open_manual(const QString& programDir, const PdfViewerQuery& viewer) {
  const QString path = manual_path(programDir);
  if (path.isEmpty()) return false;
  if (viewer) {
    const std::optional<QString> name = viewer();
    if (name && name->isEmpty()) return false;
  }
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace tarvo
