#pragma once
// What the page view tests share: the one application object (offscreen
// platform), a page shown in an active window so focus moves as a user's
// clicks and Tab presses move it, and the label-to-control check of a page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>

namespace tamlo::testing {

inline QApplication& ViewTestApp() {
  static int argc = 1;
  static char name[] = "page_view_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// The base of a page view fixture: the application exists before the page.
class PageViewTest : public ::testing::Test {
 protected:
  PageViewTest() { ViewTestApp(); }
};

// Shows `page` as an active window; focus changes take effect at once.
inline void ShowActive(QWidget& page) {
  page.show();
  page.activateWindow();
  QApplication::setActiveWindow(&page);
}

template <typename T = QWidget>
T* Child(const QWidget& page, const char* name) {
  T* child = page.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

// A fillable control and the label that names it.
struct LabelledControl {
  const char* control;
  const char* label;
  const char* hint;  // nullptr: none
};

// The label is the control's buddy and gives its accessible name; a hint is
// shown on both.
inline void ExpectLabelled(const QWidget& page, const LabelledControl& c) {
  SCOPED_TRACE(c.control);
  auto* control = Child(page, c.control);
  auto* label = Child<QLabel>(page, c.label);
  if (!control || !label) return;
  EXPECT_EQ(label->buddy(), control);
  EXPECT_FALSE(label->text().isEmpty());
  EXPECT_EQ(control->accessibleName(), label->text());
  const QString hint = c.hint ? QString::fromUtf8(c.hint) : QString();
  EXPECT_EQ(control->toolTip(), hint);
  EXPECT_EQ(label->toolTip(), hint);
}

}  // namespace tamlo::testing
