#include "widget_test_app.h"

#include <QTest>

namespace tamlo::testing {

void TypeIntoFocus(const QString& text) {
  for (const QChar ch : text) QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
}

}  // namespace tamlo::testing
