#include "guarded_application.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <new>
#include <stdexcept>
#include <vector>

namespace tarvo {
namespace {

// A handler that throws must not end the program: the failure is reported
// once, and the next events are delivered as before.
TEST(GuardedApplication, ReportsAThrowingHandlerAndGoesOn) {
  auto& app = static_cast<GuardedApplication&>(*QCoreApplication::instance());
  std::vector<bool> reported;
  app.set_failure_handler([&](bool out_of_memory) { reported.push_back(out_of_memory); });
  int later = 0;
  QTimer::singleShot(0, [] { throw std::bad_alloc(); });
  QTimer::singleShot(0, [] { throw std::runtime_error("broken"); });
  QTimer::singleShot(0, [&] { ++later; });
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  app.set_failure_handler({});
  EXPECT_EQ(reported, (std::vector<bool>{true, false}));
  EXPECT_EQ(later, 1);
}

}  // namespace
}  // namespace tarvo
