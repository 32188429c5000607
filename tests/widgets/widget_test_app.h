#pragma once
// The one application object of the widget tests (offscreen platform), and
// typing into whichever control has the focus, as a user's keys go.
#include <QApplication>
#include <QString>

namespace tamlo::testing {

QApplication& WidgetTestApp();

// Each character of `text` as a key click on the focused widget of the time.
void TypeIntoFocus(const QString& text);

}  // namespace tamlo::testing
