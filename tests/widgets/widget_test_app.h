#pragma once
// What the widget tests share with the application object their main makes:
// typing into whichever control has the focus, as a user's keys go.
#include <QApplication>
#include <QString>

namespace tamlo::testing {

// Each character of `text` as a key click on the focused widget of the time.
void TypeIntoFocus(const QString& text);

}  // namespace tamlo::testing
