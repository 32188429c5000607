#pragma once
// What the page view tests share: a page shown in an active window so focus moves as a user's
// clicks and Tab presses move it, and the label-to-control check of a page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <initializer_list>
#include <string>

#include "pages/page_model.h"

namespace tamlo::testing {

// Shows `page` as an active window; focus changes take effect at once.
inline void ShowActive(QWidget& page) {
  page.show();
  page.activateWindow();
  QApplication::setActiveWindow(&page);
}

// The base of a page view fixture.
using PageViewTest = ::testing::Test;

template <typename T = QWidget>
T* Child(const QWidget& page, const char* name) {
  T* child = page.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

// A fillable control and the label that names it.
struct LabelledControl {
  const char* control;
  const char* label;  // nullptr: a label without a name of its own
  const char* hint;   // nullptr: none
};

// The label whose buddy is `control`.
inline QLabel* BuddyLabelOf(const QWidget& page, const QWidget* control) {
  for (QLabel* label : page.findChildren<QLabel*>())
    if (label->buddy() == control) return label;
  ADD_FAILURE() << "no label names " << control->objectName().toStdString();
  return nullptr;
}

// The label is the control's buddy and gives its accessible name; a hint is
// shown on both.
inline void ExpectLabelled(const QWidget& page, const LabelledControl& c) {
  SCOPED_TRACE(c.control);
  auto* control = Child(page, c.control);
  if (!control) return;
  auto* label = c.label ? Child<QLabel>(page, c.label) : BuddyLabelOf(page, control);
  if (!label) return;
  EXPECT_EQ(label->buddy(), control);
  EXPECT_FALSE(label->text().isEmpty());
  EXPECT_EQ(control->accessibleName(), label->text());
  const QString hint = c.hint ? QString::fromUtf8(c.hint) : QString();
  EXPECT_EQ(control->toolTip(), hint);
  EXPECT_EQ(label->toolTip(), hint);
}

// The edit of a page model's EditRule: tied to its label (named or not), its
// accessible name the rule's caption. The rule tables hold string literals,
// so their views end in a zero.
template <typename Edit>
void ExpectLabelledByRule(const QWidget& page, const EditRule<Edit>& rule) {
  ExpectLabelled(page, {rule.control.data(), rule.label.empty() ? nullptr : rule.label.data(),
                        rule.hint.empty() ? nullptr : rule.hint.data()});
  if (auto* edit = Child(page, rule.control.data())) {
    EXPECT_EQ(edit->accessibleName(),
              QString::fromUtf8(rule.caption.data(), static_cast<qsizetype>(rule.caption.size())));
  }
}

// Each character of `text` as a key press and release carrying it, Cyrillic
// included (QTest::keyClicks sends Latin-1 only).
inline void TypeText(QWidget& widget, const QString& text) {
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(&widget, &release);
  }
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
