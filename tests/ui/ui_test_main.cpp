#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "guarded_application.h"

// Widgets need an application object, the program's own; the offscreen
// platform lets the tests run without a display unless the caller chose another.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The windows keep their session files here, never in the user's own folder.
  QTemporaryDir state;
  qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
  // Nor their settings: never the user's own file.
  qputenv("XDG_CONFIG_HOME", state.path().toLocal8Bit());
  tarvo::GuardedApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
