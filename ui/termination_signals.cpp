#include "termination_signals.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

namespace tarvo {
namespace {

int wake_fds[2] = {-1, -1};

// Only async-signal-safe work here: one byte to the event loop.
void on_signal(int /*signal*/) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(wake_fds[0], &byte, 1);
  errno = saved;
}

}  // namespace

void close_on_termination_signals(QWidget& window) {
  if (wake_fds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wake_fds) != 0) {
    return;
  }
  ::fcntl(wake_fds[0], F_SETFL, O_NONBLOCK);
  ::fcntl(wake_fds[1], F_SETFL, O_NONBLOCK);
  auto* notifier = new QSocketNotifier(wake_fds[1], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window,
                   [target = QPointer<QWidget>(&window)] {
                     char bytes[16];
                     while (::read(wake_fds[1], bytes, sizeof bytes) > 0) {
                     }
                     if (target) target->close();
                   });
  struct sigaction action = {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace tarvo
