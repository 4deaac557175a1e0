#pragma once

#include <QString>
#include <QWidget>

namespace tarvo {

// Laid over a display whose value is not live (the meter is away): it pales
// everything under it, digits and needle included, and shows a short text in
// a box at its middle. It covers its parent and lets the mouse through.
class NotLiveVeil : public QWidget {
  Q_OBJECT

 public:
  explicit NotLiveVeil(QWidget* parent);

  // An empty text leaves only the veil; show() and hide() switch it.
  void set_text(const QString& text);
  const QString& text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString text_;
};

// Lays the veil, with text, over parent while waiting; takes it away when not.
// The veil is made on first use and kept.
void show_not_live(NotLiveVeil*& veil, QWidget* parent, bool waiting, const QString& text);

}  // namespace tarvo
