#include "manual_window.h"

#include <QImage>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <algorithm>
#include <vector>

#include "window_placement.h"

namespace tarvo {
namespace {

constexpr QSize kPreferredSize{820, 720};
// The window leaves this much of the screen's available area free around it.
constexpr int kScreenMargin = 40;

}  // namespace

ManualWindow::ManualWindow(QWidget* parent) : QTextBrowser(parent) {
  setObjectName(QStringLiteral("ManualWindow"));
  setWindowFlag(Qt::Window);
  setOpenExternalLinks(true);
  resize(kPreferredSize);
}

void ManualWindow::show_manual(const QString& title) {
  setWindowTitle(QStringLiteral("%1 - Tarvo").arg(title));
  // Pictures resolve beside the source, under the same resource folder.
  setSource(QUrl(QStringLiteral("qrc:/manual/manual.md")), QTextDocument::MarkdownResource);
  fit_to_screen();
  fitted_room_ = -1;
  fit_pictures();
  show();
  raise();
  activateWindow();
}

void ManualWindow::fit_to_screen() {
  const QWidget* anchor = parentWidget() != nullptr ? parentWidget()->window() : this;
  const QScreen* screen = anchor->screen();
  if (screen == nullptr) return;
  const QRect room = screen->availableGeometry();
  resize(std::min(kPreferredSize.width(), std::max(room.width() - kScreenMargin, 200)),
         std::min(kPreferredSize.height(), std::max(room.height() - kScreenMargin, 200)));
  centre_on_screen(*this);
}

int ManualWindow::picture_room() const {
  const auto margins = static_cast<int>(2 * document()->documentMargin());
  return std::max(viewport()->width() - margins - 2, 16);
}

void ManualWindow::resizeEvent(QResizeEvent* event) {
  QTextBrowser::resizeEvent(event);
  fit_pictures();
}

// The picture's size in the text's units, as it would be drawn unscaled;
// decoded once.
QSizeF ManualWindow::natural_size(const QString& name) {
  const auto known = natural_sizes_.constFind(name);
  if (known != natural_sizes_.constEnd()) return *known;
  const QImage picture =
      QImage::fromData(loadResource(QTextDocument::ImageResource, QUrl(name)).toByteArray());
  const QSizeF size =
      picture.isNull() ? QSizeF() : QSizeF(picture.size()) / picture.devicePixelRatio();
  natural_sizes_.insert(name, size);
  return size;
}

void ManualWindow::fit_pictures() {
  const int room = picture_room();
  if (room == fitted_room_) return;
  fitted_room_ = room;
  struct Picture {
    int position, length;
    QTextImageFormat format;
  };
  // Found first, changed afterwards: a change of format may split fragments.
  std::vector<Picture> pictures;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.isValid() && fragment.charFormat().isImageFormat()) {
        pictures.push_back(
            {fragment.position(), fragment.length(), fragment.charFormat().toImageFormat()});
      }
    }
  }
  QTextCursor edit(document());
  edit.beginEditBlock();
  for (Picture& p : pictures) {
    const QSizeF natural = natural_size(p.format.name());
    if (natural.isEmpty()) continue;
    const qreal width = std::min<qreal>(natural.width(), room);
    p.format.setWidth(width);
    p.format.setHeight(natural.height() * width / natural.width());
    edit.setPosition(p.position);
    edit.setPosition(p.position + p.length, QTextCursor::KeepAnchor);
    edit.setCharFormat(p.format);
  }
  edit.endEditBlock();
}

}  // namespace tarvo
