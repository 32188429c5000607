#include "support/qt_test_main.h"

#include <gtest/gtest.h>

namespace tamlo::testing {
namespace {

// Constant-initialised, so a maker named during dynamic initialisation,
// in whichever order, is never overwritten.
constinit TestApplicationMaker g_make = nullptr;

}  // namespace

bool MakeTestApplicationWith(TestApplicationMaker make) {
  g_make = make;
  return true;
}

}  // namespace tamlo::testing

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  // Never destroyed: what statics of the tests or of Qt still hold at exit
  // (fonts, pixmaps, windows) needs the application object until then.
  static int app_argc = argc;
  static QApplication* const app = (tamlo::testing::g_make ? tamlo::testing::g_make(app_argc, argv)
                                                           : std::make_unique<QApplication>(app_argc, argv))
                                       .release();
  static_cast<void>(app);
  return RUN_ALL_TESTS();
}
