#include "pages/qt/labelled_edit.h"

#include <QLabel>
#include <QLineEdit>

namespace tamlo {
namespace {

// Rows are drawn for 11-pixel text: a 21-pixel edit with its label's
// baseline three pixels lower.
constexpr int kEditHeight = 21;
constexpr int kLabelHeight = 16;
constexpr int kLabelDrop = 3;

}  // namespace

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

void LabelledEdit::Place(int label_x, int label_width, int edit_x, int edit_width, int y) const {
  label->setGeometry(label_x, y + kLabelDrop, label_width, kLabelHeight);
  edit->setGeometry(edit_x, y, edit_width, kEditHeight);
}

LabelledEdit MakeLabelledEdit(QWidget& parent, std::string_view control, std::string_view label,
                              std::string_view caption, std::string_view hint, int max_length,
                              bool (*filter)(char32_t)) {
  LabelledEdit made;
  made.label = new QLabel(Utf8(caption), &parent);
  made.label->setObjectName(Utf8(label));
  made.label->setToolTip(Utf8(hint));
  made.edit = new FilteredLineEdit(&parent);
  made.edit->setObjectName(Utf8(control));
  made.edit->setToolTip(Utf8(hint));
  made.edit->setAccessibleName(Utf8(caption));
  made.edit->SetTypingLimit(max_length);
  if (filter) made.edit->SetKeyFilter(filter);
  made.label->setBuddy(made.edit);
  return made;
}

void ShowText(QLineEdit& edit, const std::string& text) {
  const QString shown = Utf8(text);
  if (edit.text() == shown) return;
  edit.setText(shown);
  // A text put in from outside shows from its start, as a loaded APN longer
  // than the edit should; in the edit the user is in, the cursor stays at the end.
  if (!edit.hasFocus()) edit.setCursorPosition(0);
}

}  // namespace tamlo
