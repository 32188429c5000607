#pragma once
// The one application object of the device window tests (offscreen
// platform), and a main window for the small windows to sit over.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

namespace tamlo::testing {

inline QApplication& DeviceQtTestApp() {
  static int argc = 1;
  static char name[] = "device_qt_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class DeviceQtTest : public ::testing::Test {
 protected:
  DeviceQtTest() {
    main_window.setGeometry(100, 100, 800, 600);
    main_window.show();
  }
  QApplication& app = DeviceQtTestApp();  // before any widget
  QWidget main_window;
};

template <typename T = QWidget>
T* Child(const QWidget& window, const char* name) {
  T* child = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

}  // namespace tamlo::testing
