#pragma once

#include <QHash>
#include <QSizeF>
#include <QTextBrowser>

namespace tarvo {

// The user manual in a window of the program's own, for a desktop that
// cannot open the PDF: the manual's Markdown source and its pictures are
// built into the program. The window fits the screen, and the pictures fit
// the window's width.
class ManualWindow : public QTextBrowser {
  Q_OBJECT

 public:
  explicit ManualWindow(QWidget* parent = nullptr);

  // Shows the manual from its start, titled with the menu item's caption.
  void show_manual(const QString& title);

  // The width a picture may take: the text's width inside the margins.
  int picture_room() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Every picture at its own size, or narrower to fit picture_room().
  void fit_pictures();
  void fit_to_screen();
  QSizeF natural_size(const QString& name);

  int fitted_room_ = -1;
  QHash<QString, QSizeF> natural_sizes_;
};

}  // namespace tarvo
