#include "widgets/time_field_edit.h"

#include <QFocusEvent>
#include <QMouseEvent>

#include "widgets/filtered_line_edit.h"

namespace tamlo {
namespace {

// The mask's character for an unfilled position, as the edit shows it.
constexpr QChar kMaskBlank = u'_';
constexpr qsizetype kFieldLength = 5;  // "HH:MM"

}  // namespace

TimeFieldEdit::TimeFieldEdit(QWidget* parent) : QLineEdit(parent) {
  // "0" is Qt's optional digit: a part-filled field is a valid state, and an
  // unfilled position keeps its place when the text is set back.
  setInputMask(QStringLiteral("00:00;") + kMaskBlank);
  connect(this, &QLineEdit::textEdited, this, [this] { emit fieldEdited(FieldText()); });
}

QString TimeFieldEdit::FieldText() const {
  QString text = displayText();
  text.replace(kMaskBlank, u' ');
  return text;
}

void TimeFieldEdit::SetFieldText(const QString& text) {
  // Each digit goes to its own position; the mask takes its blank character
  // as an unfilled position, where a space would shift the digits after it.
  QString masked(kFieldLength, kMaskBlank);
  masked[2] = u':';
  for (qsizetype i : {0, 1, 3, 4})
    if (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) masked[i] = text[i];
  setText(masked);
}

void TimeFieldEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (LeavesForAnotherControl(*event)) emit exited();
}

void TimeFieldEdit::mousePressEvent(QMouseEvent* event) {
  QLineEdit::mousePressEvent(event);
  if (cursorPosition() >= kFieldLength && !hasSelectedText()) setCursorPosition(kFieldLength - 1);
}

}  // namespace tamlo
