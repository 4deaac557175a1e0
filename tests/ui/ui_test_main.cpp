#include <gtest/gtest.h>

#include "guarded_application.h"

// Widgets need an application object, the program's own; the offscreen
// platform lets the tests run without a display unless the caller chose another.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  tarvo::GuardedApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
