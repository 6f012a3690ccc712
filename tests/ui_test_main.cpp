// Runs the widget tests inside one QApplication on the offscreen platform.
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/qt/guarded_application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  terrak::GuardedApplication app(argc, argv);  // as the program runs its windows
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
