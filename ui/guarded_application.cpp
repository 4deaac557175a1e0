#include "guarded_application.h"

#include <cstdio>
#include <exception>
#include <new>

namespace tarvo {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    std::fputs("tarvo: a command ran out of memory and was abandoned\n", stderr);
    failed(true);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvo: a command failed and was abandoned: %s\n", e.what());
    failed(false);
  } catch (...) {
    std::fputs("tarvo: a command failed and was abandoned\n", stderr);
    failed(false);
  }
  return false;
}

// The handler shows a message, whose own event loop may meet the next failure:
// that one is written out but not shown again.
void GuardedApplication::failed(bool out_of_memory) {
  if (!handler_ || reporting_) return;
  reporting_ = true;
  try {
    handler_(out_of_memory);
  } catch (...) {
    std::fputs("tarvo: the failure could not be shown\n", stderr);
  }
  reporting_ = false;
}

}  // namespace tarvo
