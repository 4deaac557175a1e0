#pragma once

class QWidget;

namespace tarvo {

// SIGTERM and SIGINT (a kill, a logout, a service stop, Ctrl+C in the
// terminal) close the window as its close box does, so the session ends with
// its "stopped" line instead of looking like a crash. The signal only wakes
// the event loop; the closing runs there. Call once, for the main window.
void close_on_termination_signals(QWidget& window);

}  // namespace tarvo
