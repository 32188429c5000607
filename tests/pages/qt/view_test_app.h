#pragma once
// The one application object of a page view test program (offscreen
// platform), and typing as a user's keys go.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <string_view>

namespace tamlo::testing {

inline QApplication& ViewTestApp() {
  static int argc = 1;
  static char name[] = "page_view_tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: widgets of static lifetime may still need it at exit.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// The base of the view tests' fixtures: the application exists before any
// member widget of a fixture is made.
class ViewTest : public ::testing::Test {
 protected:
  ViewTest() { ViewTestApp(); }
};

// Each character of `text` as a key press and release carrying that
// character, Cyrillic included (QTest::keyClicks sends Latin-1 only).
inline void TypeText(QWidget& widget, const QString& text) {
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(&widget, &release);
  }
}

// The edit `control` of `page` is announced by its label's caption, has that
// label as buddy, and edit and label carry `hint`.
inline void ExpectLabelledEdit(QWidget& page, std::string_view control, std::string_view caption,
                               std::string_view hint) {
  SCOPED_TRACE(std::string(control));
  const QString name = QString::fromUtf8(control.data(), static_cast<qsizetype>(control.size()));
  const QString text = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
  const QString tip = QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size()));
  auto* edit = page.findChild<QLineEdit*>(name);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->accessibleName(), text);
  EXPECT_EQ(edit->toolTip(), tip);
  QLabel* label = nullptr;
  for (QLabel* candidate : page.findChildren<QLabel*>())
    if (candidate->buddy() == edit) label = candidate;
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), text);
  EXPECT_EQ(label->toolTip(), tip);
}

}  // namespace tamlo::testing
