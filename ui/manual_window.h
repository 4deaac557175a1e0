#pragma once

#include <QTextBrowser>

namespace tarvo {

// The user manual in a window of the program's own, for a desktop that
// cannot open the PDF: the manual's Markdown source and its pictures are
// built into the program.
class ManualWindow : public QTextBrowser {
  Q_OBJECT

 public:
  explicit ManualWindow(QWidget* parent = nullptr);

  // Shows the manual from its start, titled with the menu item's caption.
  void show_manual(const QString& title);
};

}  // namespace tarvo
