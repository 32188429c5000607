#include "widget_test_app.h"

#include <QTest>

namespace tamlo::testing {

QApplication& WidgetTestApp() {
  static int argc = 1;
  static char name[] = "widgets_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

void TypeIntoFocus(const QString& text) {
  for (const QChar ch : text) QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
}

}  // namespace tamlo::testing
