#pragma once
// Small pieces the page views repeat: a placed label, a fillable control tied
// to the label that names it, an edit set up from its EditRule, and showing a
// model text without disturbing the edit the user is typing in.
#include <QLabel>
#include <QLineEdit>
#include <QRect>
#include <QString>
#include <string>
#include <string_view>

#include "pages/page_model.h"
#include "widgets/filtered_line_edit.h"
#include "widgets/time_field_edit.h"

namespace tamlo {

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A plain label of a fixed page layout.
inline QLabel* MakeLabel(QWidget* parent, std::string_view control, std::string_view caption, const QRect& place) {
  auto* label = new QLabel(ToQString(caption), parent);
  label->setObjectName(ToQString(control));
  label->setGeometry(place);
  return label;
}

// Ties a fillable control (edit, time field, list) to its label: the label is
// its buddy and its caption the control's accessible name, so a screen reader
// announces the field by what the page shows beside it; both carry the hint.
// Call again after a rule has changed the caption.
inline void NameByLabel(QLabel& label, QWidget& field, std::string_view hint = {}) {
  label.setBuddy(&field);
  field.setAccessibleName(label.text());
  if (!hint.empty()) {
    label.setToolTip(ToQString(hint));
    field.setToolTip(ToQString(hint));
  }
}

// An edit with the typing limit and key filter of its rule; the label is
// tied by the caller, since some captions come from the model's state.
template <typename Edit>
FilteredLineEdit* MakeRuleEdit(QWidget* parent, const EditRule<Edit>& rule, const QRect& place) {
  auto* edit = new FilteredLineEdit(parent);
  edit->setObjectName(ToQString(rule.control));
  edit->setGeometry(place);
  edit->SetTypingLimit(rule.max_length);
  if (rule.filter != nullptr) edit->SetKeyFilter(rule.filter);
  return edit;
}

// Setting an unchanged text would move the cursor of an edit being typed in
// to its end, so only a text the model changed is set.
inline void ShowText(QLineEdit& edit, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  if (edit.text() != shown) edit.setText(shown);
}

inline void ShowText(TimeFieldEdit& field, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  if (field.FieldText() != shown) field.SetFieldText(shown);
}

inline void ShowCaption(QLabel& label, const std::string& caption) {
  const QString shown = QString::fromStdString(caption);
  if (label.text() != shown) label.setText(shown);
}

}  // namespace tamlo
