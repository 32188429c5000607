#include "support/qt_test_main.h"

#include <gtest/gtest.h>

// Constant-initialised, so a maker set by another file's initialiser is never
// overwritten by this one.
constinit tamlo::testing::TestApplicationMaker tamlo::testing::g_make_test_application = nullptr;

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Never destroyed: what statics of the tests or of Qt hold at exit needs it.
  static int app_argc = argc;
  static QApplication* const app = tamlo::testing::g_make_test_application
                                       ? tamlo::testing::g_make_test_application(app_argc, argv)
                                       : new QApplication(app_argc, argv);
  static_cast<void>(app);
  return RUN_ALL_TESTS();
}
