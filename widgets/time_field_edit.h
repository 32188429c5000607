#pragma once
// The pages' time field: hours and minutes as a mask edit, two digits,
// a colon, two digits. The model keeps the field's text as the user sees it,
// with a space for each position not filled yet: "  :  " when blank, "1 :3 "
// part-way, "01:30" when full; that is what ParseTimeField reads.
//
// QLineEdit::text() drops unfilled positions of a mask ("1:3") and the mask's
// own blank shows as "_", so the model reads and writes FieldText() and
// SetFieldText() instead.
#include <QLineEdit>

namespace tamlo {

class TimeFieldEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TimeFieldEdit(QWidget* parent = nullptr);

  // "HH:MM" with a space for every unfilled digit.
  QString FieldText() const;
  // Takes "01:30", "  :  " or a partly filled text; a position that holds no
  // digit is left unfilled.
  void SetFieldText(const QString& text);

 signals:
  // The user changed the field; `text` is FieldText().
  void fieldEdited(const QString& text);
  // The focus went to another control of the window.
  void exited();

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  // A click past the last digit puts the cursor on that digit, which typing
  // then replaces as anywhere else in the field (behind the last position
  // the mask takes no typing at all).
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace tamlo
