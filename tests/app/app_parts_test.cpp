// The main window's building blocks: the error box of escaped errors, the
// file dialog filters, hint wrapping, the window shape and the clock text.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <stdexcept>

#include "app/hint_style.h"
#include "app/main_artwork.h"
#include "app/main_window.h"
#include "app/qt_user_dialogs.h"
#include "app_test_support.h"
#include "config/config_files.h"

namespace tamlo {
namespace {

class Thrower : public QObject {
 public:
  int handled = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw std::runtime_error("Ошибка обработчика");
    if (event->type() == QEvent::User + 1) ++handled;
    return QObject::event(event);
  }
};

TEST(TamloApplicationTest, ErrorEscapingHandler_IsShownOnceAndLaterEventsStillRun) {
  TamloApplication& app = testing::TestApp();
  QStringList shown;
  app.SetErrorDisplay([&](const QString& text) { shown << text; });
  Thrower thrower;
  QEvent bad(QEvent::User);
  EXPECT_FALSE(QCoreApplication::sendEvent(&thrower, &bad));
  QEvent good(static_cast<QEvent::Type>(QEvent::User + 1));
  QCoreApplication::sendEvent(&thrower, &good);
  app.SetErrorDisplay(nullptr);
  EXPECT_EQ(shown, QStringList{"Ошибка обработчика"});
  EXPECT_EQ(thrower.handled, 1);
  EXPECT_EQ(QCoreApplication::applicationName(), "Конфигуратор Тамло");
}

TEST(FileFilterTest, PatternsReplaceTheDescriptionsOwnParentheses) {
  EXPECT_EQ(ToQtFileFilters(kConfigFileFilter), (QStringList{"Файлы конфигурации (*.tamlo)", "Все файлы (*)"}));
  EXPECT_EQ(ToQtFileFilters("Прошивки|*.fmw;*.bin"), QStringList{"Прошивки (*.fmw *.bin)"});
  EXPECT_TRUE(ToQtFileFilters("").isEmpty());
}

TEST(HintStyleTest, LongHintsWrapWithinLimit_ShortOnesStayOnOneLine) {
  testing::TestApp();
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

TEST(MainArtworkTest, YellowIsSeeThrough_EverythingElseShapesTheWindow) {
  testing::TestApp();
  const QImage picture = PaintMainBackground();
  ASSERT_EQ(picture.size(), QSize(957, 534));
  const QRegion shape = ShapeFromArtwork(picture);
  for (const QPoint corner : {QPoint(0, 0), QPoint(956, 0), QPoint(0, 533), QPoint(956, 533)}) {
    EXPECT_EQ(picture.pixel(corner), kTransparentColour);
    EXPECT_FALSE(shape.contains(corner));
  }
  // The controls' corners all lie on the window.
  for (const QPoint inside : {QPoint(21, 12), QPoint(21, 244), QPoint(18, 488), QPoint(940, 34), QPoint(953, 514)}) {
    EXPECT_NE(picture.pixel(inside), kTransparentColour);
    EXPECT_TRUE(shape.contains(inside));
  }
}

TEST(ConnectionDurationTest, HoursAreNotLimitedToTwoDigits) {
  EXPECT_EQ(FormatConnectionDuration(0), "Длительность соединения: 00:00:00");
  EXPECT_EQ(FormatConnectionDuration(3599999), "Длительность соединения: 00:59:59");
  EXPECT_EQ(FormatConnectionDuration(360000000u), "Длительность соединения: 100:00:00");
  EXPECT_EQ(FormatConnectionDuration(0xFFFFFFFFu), "Длительность соединения: 1193:02:47");
}

}  // namespace
}  // namespace tamlo
