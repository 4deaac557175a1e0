#include "window_placement.h"

#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tarvo {

namespace {

// Keeps the rectangle inside the screen, its top left corner first.
QRect inside(QRect r, const QRect& screen) {
  r.moveLeft(std::max(std::min(r.left(), screen.right() - r.width() + 1), screen.left()));
  r.moveTop(std::max(std::min(r.top(), screen.bottom() - r.height() + 1), screen.top()));
  return r;
}

}  // namespace

void centre_on_screen(QWidget& window) {
  const QWidget* anchor =
      window.parentWidget() != nullptr ? window.parentWidget()->window() : &window;
  const QScreen* screen = anchor->screen();
  if (screen == nullptr) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

QRect beside_rect(const QRect& main_frame, const QRect& screen, int width, int height) {
  const QRect candidates[] = {
      QRect(main_frame.right() + 1, main_frame.top(), width, height),
      QRect(main_frame.left() - width, main_frame.top(), width, height),
      QRect(main_frame.left(), main_frame.bottom() + 1, width, height),
      QRect(main_frame.left(), main_frame.top() - height, width, height),
  };
  // Sliding along the main window's edge is fine; crossing it only where no
  // side has room, and then as little as can be.
  QRect best;
  qint64 best_covered = -1;
  for (const QRect& c : candidates) {
    const QRect slid = inside(c, screen);
    const QRect covered = slid.intersected(main_frame);
    const qint64 area = covered.isEmpty() ? 0 : qint64{covered.width()} * covered.height();
    if (best_covered < 0 || area < best_covered) {
      best = slid;
      best_covered = area;
    }
  }
  return best;
}

void place_beside_parent(QWidget& window) {
  const QWidget* parent = window.parentWidget();
  if (parent == nullptr) return centre_on_screen(window);
  const QWidget* main = parent->window();
  const QScreen* screen = main->screen();
  if (screen == nullptr) return;
  // Before the first showing the frame is not known yet: the size of the
  // window itself, with the main window's frame margins, stands for it.
  const QRect main_frame = main->frameGeometry();
  const QSize margins = main_frame.size() - main->geometry().size();
  const QSize own = window.isVisible() ? window.frameGeometry().size() : window.size() + margins;
  const QRect frame =
      beside_rect(main_frame, screen->availableGeometry(), own.width(), own.height());
  // move() places the frame's top left corner.
  window.move(frame.topLeft());
}

}  // namespace tarvo
