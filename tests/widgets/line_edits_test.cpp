// The pages' edits: key filter and typing limit act on the user's input
// only (typing, pasting), never on text the program sets; the leaving
// signal; the time field's text as the model reads it.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include "pages/input_rules.h"
#include "widget_test_app.h"
#include "widgets/filtered_line_edit.h"
#include "widgets/time_field_edit.h"

namespace tamlo {
namespace {

struct EditCase {
  const char* name;
  FilteredLineEdit::KeyFilter filter;
  int limit;
  const char* loaded;  // set by the program first
  const char* typed;
  const char* expected;
};

TEST(FilteredLineEditTest, FilterAndLimit_ApplyToTypingOnly) {
  const EditCase cases[] = {
      {"digits only", DigitsOnlyFilter, 0, "", "12a3 4-5", "12345"},
      {"limit cuts typing", DigitsOnlyFilter, 4, "", "123456", "1234"},
      {"Contact ID digits, no A", ContactIdDigitFilter, 0, "", "aBc9AfG", "Bc9f"},
      {"no filter", nullptr, 0, "", "Тамло 1", "Тамло 1"},
      {"loaded text beyond the limit is kept", DigitsOnlyFilter, 4, "12345", "6", "12345"},
      {"loaded text is not filtered", DigitsOnlyFilter, 0, "abc", "x1", "abc1"},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    FilteredLineEdit edit;
    edit.SetKeyFilter(c.filter);
    edit.SetTypingLimit(c.limit);
    edit.setText(QString::fromUtf8(c.loaded));
    EXPECT_EQ(edit.text(), QString::fromUtf8(c.loaded));
    for (const QChar ch : QString::fromUtf8(c.typed)) {
      // Cyrillic has no Qt key code of its own; the text is what counts.
      QKeyEvent press(QEvent::KeyPress, ch.isLetter() && ch.unicode() > 127 ? 0 : ch.toUpper().unicode(),
                      Qt::NoModifier, QString(ch));
      QApplication::sendEvent(&edit, &press);
    }
    EXPECT_EQ(edit.text(), QString::fromUtf8(c.expected));
  }
}

TEST(FilteredLineEditTest, OverTheLimit_BackspacePasses_TypingResumesBelowTheLimit_SelectionCountsAsRoom) {
  FilteredLineEdit edit;
  edit.SetKeyFilter(DigitsOnlyFilter);
  edit.SetTypingLimit(4);
  edit.setText("12345");
  QTest::keyClick(&edit, Qt::Key_Backspace);
  QTest::keyClick(&edit, Qt::Key_Backspace);
  QTest::keyClicks(&edit, "98");
  EXPECT_EQ(edit.text(), "1239");
  edit.selectAll();
  QTest::keyClicks(&edit, "7");
  EXPECT_EQ(edit.text(), "7");
}

TEST(FilteredLineEditTest, Paste_FiltersEachCharacterAndStopsAtTheLimit_KeyboardAndContextMenu) {
  QGuiApplication::clipboard()->setText("+7 (900) 12-34");
  FilteredLineEdit edit;
  edit.SetKeyFilter(DigitsOnlyFilter);
  edit.SetTypingLimit(6);
  int edits = 0;
  QObject::connect(&edit, &QLineEdit::textEdited, [&edits] { ++edits; });
  QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit.text(), "790012");
  EXPECT_EQ(edits, 1);  // a paste is the user's edit

  edit.clear();
  edit.setText("1");
  QContextMenuEvent menu_event(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(&edit, &menu_event);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
  ASSERT_NE(paste, nullptr);
  paste->trigger();
  menu->close();
  EXPECT_EQ(edit.text(), "179001");
}

TEST(FilteredLineEditTest, Exited_WhenFocusGoesToAnotherControl_NotToAMenuOrAnotherWindow) {
  struct Case {
    Qt::FocusReason reason;
    int exits;
  } cases[] = {{Qt::TabFocusReason, 1}, {Qt::MouseFocusReason, 1}, {Qt::BacktabFocusReason, 1},
               {Qt::PopupFocusReason, 0}, {Qt::ActiveWindowFocusReason, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    FilteredLineEdit edit;
    TimeFieldEdit time;
    int exits = 0;
    QObject::connect(&edit, &FilteredLineEdit::exited, [&exits] { ++exits; });
    QObject::connect(&time, &TimeFieldEdit::exited, [&exits] { ++exits; });
    QFocusEvent out(QEvent::FocusOut, c.reason);
    QApplication::sendEvent(&edit, &out);
    QApplication::sendEvent(&time, &out);
    EXPECT_EQ(exits, 2 * c.exits);
  }
}

TEST(TimeFieldEditTest, FieldText_HasASpaceForEveryUnfilledDigit_AndParsesAsTheModelExpects) {
  struct Case {
    const char* set;  // by the program; nullptr: typed
    const char* typed;
    const char* field_text;
    int minutes;
  } cases[] = {
      {"  :  ", nullptr, "  :  ", 0},
      {"", nullptr, "  :  ", 0},
      {"01:30", nullptr, "01:30", 90},
      {"1 :3 ", nullptr, "1 :3 ", 63},
      {" 1:  ", nullptr, " 1:  ", 60},
      {"00:75", nullptr, "00:75", 75},
      {nullptr, "0130", "01:30", 90},
      {nullptr, "2", "2 :  ", 120},
      {nullptr, "12a3", "12:3 ", 723},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.set ? c.set : c.typed);
    TimeFieldEdit edit;
    QStringList edited;
    QObject::connect(&edit, &TimeFieldEdit::fieldEdited, [&edited](const QString& text) { edited << text; });
    if (c.set) {
      edit.SetFieldText(QString::fromLatin1(c.set));
      EXPECT_TRUE(edited.isEmpty());
    } else {
      edit.setCursorPosition(0);
      QTest::keyClicks(&edit, c.typed);
      ASSERT_FALSE(edited.isEmpty());
      EXPECT_EQ(edited.back(), QString::fromLatin1(c.field_text));
    }
    EXPECT_EQ(edit.FieldText(), QString::fromLatin1(c.field_text));
    EXPECT_EQ(ParseTimeField(edit.FieldText().toStdString()), c.minutes);
  }
}

// Typing after a click replaces the digit under the cursor, a click behind
// the last digit included.
TEST(TimeFieldEditTest, TypingAfterAClick_ReplacesTheDigitUnderTheCursor) {
  QWidget window;
  TimeFieldEdit edit(&window);
  edit.setGeometry(0, 0, 46, 21);  // as on the pages
  window.show();
  QApplication::setActiveWindow(&window);
  const struct Case {
    const char* before;
    int x;  // where the click lands
    const char* after;
  } cases[] = {{"01:30", 4, "51:30"}, {"01:30", 43, "01:35"}, {"  :  ", 43, "  : 5"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    edit.SetFieldText(QString::fromLatin1(c.before));
    QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(c.x, 10));
    QTest::keyClick(&edit, Qt::Key_5);
    EXPECT_EQ(edit.FieldText(), QString::fromLatin1(c.after));
  }
}

}  // namespace
}  // namespace tamlo
