#pragma once
// Building blocks of the page views: a caption label tied to the control it
// names (buddy, accessible name, shared hint), an edit set up from its page's
// EditRule, and the Show* calls that put a model's value into a control.
//
// The Show* calls change a control only when it shows something else, with
// its signals blocked: re-showing the model after every keystroke must not
// move the cursor, fill the blank octets of an address being typed, or feed
// the program's own change back into the model.
#include <QRect>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "pages/page_model.h"
#include "widgets/filtered_line_edit.h"

class QAbstractButton;
class QLabel;
class QLineEdit;
class QWidget;

namespace tamlo {

class TIPAddress;
class TimeFieldEdit;

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A label named `control` with `caption`, word-wrapped within `geometry`.
QLabel* AddLabel(QWidget& page, std::string_view control, std::string_view caption, const QRect& geometry);

// `label` becomes the buddy of `control`, its caption the control's
// accessible name, and `hint` (none when empty) the tooltip of both.
void TieToLabel(QLabel& label, QWidget& control, std::string_view hint);

// The edit of `rule`, named after it, with its typing limit and key filter,
// tied to `label` (made by AddLabel from the rule's label and caption).
FilteredLineEdit* AddRuleEdit(QWidget& page, std::string_view control, std::string_view hint, int max_length,
                              bool (*filter)(char32_t), QLabel& label, const QRect& geometry);
template <typename Edit>
FilteredLineEdit* AddRuleEdit(QWidget& page, const EditRule<Edit>& rule, QLabel& label, const QRect& geometry) {
  return AddRuleEdit(page, rule.control, rule.hint, rule.max_length, rule.filter, label, geometry);
}
template <typename Edit>
QLabel* AddRuleLabel(QWidget& page, const EditRule<Edit>& rule, const QRect& geometry) {
  return AddLabel(page, rule.label, rule.caption, geometry);
}

// A time field named `control`, tied to `label`.
TimeFieldEdit* AddTimeField(QWidget& page, std::string_view control, std::string_view hint, QLabel& label,
                            const QRect& geometry);

void ShowText(QLineEdit& edit, const std::string& text);
void ShowFieldText(TimeFieldEdit& field, const std::string& text);
// 0 shows a blank field, unless the field already reads 0 ("0.0.0.0" or a
// partly typed address whose octets are all zero or blank).
void ShowAddress(TIPAddress& field, uint32_t address);
void ShowTicked(QAbstractButton& box, bool ticked);
// A caption the model changes (a label whose text follows a choice).
void ShowCaption(QLabel& label, const std::string& caption);

}  // namespace tamlo
