#pragma once
// What the page view tests share: the one application object (offscreen
// platform), a page shown in an active window so focus moves as a user's
// clicks and Tab presses move it, and the label-to-control check of a page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <initializer_list>
#include <string>

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

// What the user types into a cleared edit, and what it holds once left.
struct LeaveCase {
  const char* typed;
  const char* expected;
};

// For each case: the user clears the edit, types, and moves the focus on to
// `next`; the edit and the model (`model_text`) then hold the expected text.
// The page must be shown active (ShowActive).
inline void ExpectLeavingRule(const QWidget& page, const char* edit_name, const char* next_name,
                              std::initializer_list<LeaveCase> cases,
                              const std::function<std::string()>& model_text) {
  auto* edit = Child<QLineEdit>(page, edit_name);
  auto* next = Child(page, next_name);
  if (!edit || !next) return;
  for (const LeaveCase& c : cases) {
    SCOPED_TRACE(c.typed);
    edit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, c.typed);
    next->setFocus();
    EXPECT_EQ(model_text(), c.expected);
    EXPECT_EQ(edit->text(), c.expected);
  }
}

}  // namespace tamlo::testing
