#pragma once

class QWidget;

namespace tarvo {

// Centres a top-level window on the available area of the screen its parent
// window is on (its own screen when it has no parent).
void centre_on_screen(QWidget& window);

}  // namespace tarvo
