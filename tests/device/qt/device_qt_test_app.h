#pragma once
// A main window for the device window's small windows to sit over.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

namespace tamlo::testing {

class DeviceQtTest : public ::testing::Test {
 protected:
  DeviceQtTest() {
    main_window.setGeometry(100, 100, 800, 600);
    main_window.show();
  }
  QWidget main_window;
};

template <typename T = QWidget>
T* Child(const QWidget& window, const char* name) {
  T* child = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

}  // namespace tamlo::testing
