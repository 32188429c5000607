#pragma once
// The pages' labelled edits, built from a page model's EditRule table: the
// label with its caption, the FilteredLineEdit with the rule's typing limit
// and key filter, the hint on both, the caption as the edit's accessible
// name and the label as the edit's buddy (a screen reader announces the edit
// by it, and the label's mnemonic focuses the edit).
#include <QString>
#include <string>
#include <string_view>

#include "pages/page_model.h"
#include "widgets/filtered_line_edit.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace tamlo {

// The models keep UTF-8 texts.
QString Utf8(std::string_view text);

struct LabelledEdit {
  QLabel* label = nullptr;
  FilteredLineEdit* edit = nullptr;

  // The label from label_x, the edit from edit_x, both on the row at y.
  void Place(int label_x, int label_width, int edit_x, int edit_width, int y) const;
};

LabelledEdit MakeLabelledEdit(QWidget& parent, std::string_view control, std::string_view label,
                              std::string_view caption, std::string_view hint, int max_length,
                              bool (*filter)(char32_t));

template <typename Edit>
LabelledEdit MakeLabelledEdit(QWidget& parent, const EditRule<Edit>& rule) {
  return MakeLabelledEdit(parent, rule.control, rule.label, rule.caption, rule.hint, rule.max_length, rule.filter);
}

// Shows a model's text. An edit that already holds it is left alone: setText
// would put the cursor of the edit being typed in back to its end.
void ShowText(QLineEdit& edit, const std::string& text);

}  // namespace tamlo
