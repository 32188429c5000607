// The shared look: label buttons for mouse, keyboard and screen readers, and
// the wrapping of long hints.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "widget_test_app.h"
#include "widgets/hint_style.h"
#include "widgets/label_button.h"

namespace tamlo {
namespace {

TEST(LabelButtonTest, UnderlinedWhileHoveredOrFocused_BoldAlways) {
  LabelButton label("Ещё...", nullptr);
  EXPECT_TRUE(label.font().bold());
  EXPECT_FALSE(label.font().underline());
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(&label, &enter);
  EXPECT_TRUE(label.font().underline());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&label, &leave);
  EXPECT_FALSE(label.font().underline());
  EXPECT_TRUE(label.font().bold());
}

TEST(LabelButtonTest, TabReachesIt_SpaceAndEnterClickIt_OtherKeysDoNot) {
  QWidget page;
  auto* layout = new QVBoxLayout(&page);
  auto* edit = new QLineEdit(&page);
  auto* label = new LabelButton("Справочник", &page);
  layout->addWidget(edit);
  layout->addWidget(label);
  int clicks = 0;
  QObject::connect(label, &LabelButton::clicked, [&clicks] { ++clicks; });
  page.show();
  page.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
  edit->setFocus();

  QTest::keyClick(edit, Qt::Key_Tab);
  ASSERT_TRUE(label->hasFocus());
  EXPECT_TRUE(label->font().underline());  // the focus is seen
  for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) QTest::keyClick(label, key);
  EXPECT_EQ(clicks, 3);
  QTest::keyClick(label, Qt::Key_A);
  QTest::keyClick(label, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(clicks, 3);

  QTest::mouseClick(label, Qt::RightButton);
  EXPECT_EQ(clicks, 3);
  QTest::mouseClick(label, Qt::LeftButton);
  EXPECT_EQ(clicks, 4);
}

TEST(LabelButtonTest, ScreenReadersSeeAButtonNamedByItsText_ThatCanBePressed) {
  LabelButton label("Открыть ...", nullptr);
  label.setToolTip("Загрузить конфигурацию из файла [ Ctrl-O ]");
  int clicks = 0;
  QObject::connect(&label, &LabelButton::clicked, [&clicks] { ++clicks; });
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&label);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::Button);
  EXPECT_EQ(accessible->text(QAccessible::Name), "Открыть ...");
  EXPECT_EQ(accessible->text(QAccessible::Description), "Загрузить конфигурацию из файла [ Ctrl-O ]");
  ASSERT_NE(accessible->actionInterface(), nullptr);
  accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(clicks, 1);

  label.setAccessibleName("Логотип");
  EXPECT_EQ(accessible->text(QAccessible::Name), "Логотип");
}

TEST(HintStyleTest, LongHintsWrapWithinLimit_ShortOnesStayOnOneLine) {
  const QFontMetrics metrics(QFont(QStringLiteral("Liberation Sans"), 10));
  const QString shortHint = "Записать конфигурацию в новый файл [ Shift-Ctrl-S ]";
  EXPECT_EQ(WrapHintText(shortHint, metrics, kHintMaxWidth), shortHint);

  const QString longHint = QString("Номер телефона приемника ").repeated(12).trimmed();
  const QString wrapped = WrapHintText(longHint, metrics, kHintMaxWidth);
  const QStringList lines = wrapped.split('\n');
  EXPECT_GT(lines.size(), 1);
  for (const QString& line : lines) EXPECT_LE(metrics.horizontalAdvance(line), kHintMaxWidth) << line.toStdString();
  EXPECT_EQ(QString(wrapped).replace('\n', ' '), longHint);
}

}  // namespace
}  // namespace tamlo
