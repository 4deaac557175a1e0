#include "manual_window.h"

#include <QUrl>

namespace tarvo {

ManualWindow::ManualWindow(QWidget* parent) : QTextBrowser(parent) {
  setObjectName(QStringLiteral("ManualWindow"));
  setWindowFlag(Qt::Window);
  setOpenExternalLinks(true);
  resize(820, 720);
}

void ManualWindow::show_manual(const QString& title) {
  setWindowTitle(QStringLiteral("%1 - Tarvo").arg(title));
  // Pictures resolve beside the source, under the same resource folder.
  setSource(QUrl(QStringLiteral("qrc:/manual/manual.md")), QTextDocument::MarkdownResource);
  show();
  raise();
  activateWindow();
}

}  // namespace tarvo
