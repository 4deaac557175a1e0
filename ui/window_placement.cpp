#include "window_placement.h"

#include <QRect>
#include <QScreen>
#include <QWidget>

namespace tarvo {

void centre_on_screen(QWidget& window) {
  const QWidget* anchor =
      window.parentWidget() != nullptr ? window.parentWidget()->window() : &window;
  const QScreen* screen = anchor->screen();
  if (screen == nullptr) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

}  // namespace tarvo
