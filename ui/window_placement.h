#pragma once

class QRect;
class QWidget;

namespace tarvo {

// Centres a top-level window on the available area of the screen its parent
// window is on (its own screen when it has no parent).
void centre_on_screen(QWidget& window);

// Where a window of the given frame size goes beside the main window's frame
// within the screen's available area: to its right, else to its left, else
// below, else above; where none has room, the one of them, moved inside the
// screen, that covers the least of the main window. Its top (or left) lines
// up with the main window's.
QRect beside_rect(const QRect& main_frame, const QRect& screen, int width, int height);

// Moves a top-level window beside its parent window as beside_rect says, so
// that it does not cover the chart where the screen has room.
void place_beside_parent(QWidget& window);

}  // namespace tarvo
