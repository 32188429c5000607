// The program's application object: its title, and the error box of an
// error that escapes an event handler.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app_test_support.h"

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
  EXPECT_EQ(QCoreApplication::applicationVersion(), "1.13");
}

}  // namespace
}  // namespace tamlo
