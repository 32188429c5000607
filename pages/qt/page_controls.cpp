#include "pages/qt/page_controls.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSignalBlocker>

#include "widgets/ip_address_edit.h"
#include "widgets/time_field_edit.h"

namespace tamlo {

QLabel* AddLabel(QWidget& page, std::string_view control, std::string_view caption, const QRect& geometry) {
  auto* label = new QLabel(ToQString(caption), &page);
  label->setObjectName(ToQString(control));
  label->setWordWrap(true);
  label->setGeometry(geometry);
  return label;
}

void TieToLabel(QLabel& label, QWidget& control, std::string_view hint) {
  label.setBuddy(&control);
  // The address field names its four octets after the field as well.
  if (auto* address = qobject_cast<TIPAddress*>(&control))
    address->SetAccessibleName(label.text());
  else
    control.setAccessibleName(label.text());
  if (!hint.empty()) {
    label.setToolTip(ToQString(hint));
    control.setToolTip(ToQString(hint));
  }
}

FilteredLineEdit* AddRuleEdit(QWidget& page, std::string_view control, std::string_view hint, int max_length,
                              bool (*filter)(char32_t), QLabel& label, const QRect& geometry) {
  auto* edit = new FilteredLineEdit(&page);
  edit->setObjectName(ToQString(control));
  edit->setGeometry(geometry);
  edit->SetTypingLimit(max_length);
  if (filter) edit->SetKeyFilter(filter);
  TieToLabel(label, *edit, hint);
  return edit;
}

TimeFieldEdit* AddTimeField(QWidget& page, std::string_view control, std::string_view hint, QLabel& label,
                            const QRect& geometry) {
  auto* field = new TimeFieldEdit(&page);
  field->setObjectName(ToQString(control));
  field->setGeometry(geometry);
  TieToLabel(label, *field, hint);
  return field;
}

void ShowText(QLineEdit& edit, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  if (edit.text() == shown) return;
  const QSignalBlocker block(edit);
  edit.setText(shown);
  // A text put in from outside shows from its start, as a loaded APN longer
  // than its edit should; in the edit the user is in, the cursor stays put.
  if (!edit.hasFocus()) edit.setCursorPosition(0);
}

void ShowFieldText(TimeFieldEdit& field, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  if (field.FieldText() == shown) return;
  const QSignalBlocker block(field);
  field.SetFieldText(shown);
}

void ShowAddress(TIPAddress& field, uint32_t address) {
  if (field.GetAddress() == address) return;
  const QSignalBlocker block(field);
  if (address == 0)
    field.ClearAddress();
  else
    field.SetAddress(address);
}

void ShowTicked(QAbstractButton& box, bool ticked) {
  if (box.isChecked() == ticked) return;
  const QSignalBlocker block(box);
  box.setChecked(ticked);
}

void ShowCaption(QLabel& label, const std::string& caption) {
  const QString shown = QString::fromStdString(caption);
  if (label.text() != shown) label.setText(shown);
}

}  // namespace tamlo
