#pragma once
// The pages' edit: a QLineEdit whose typed characters pass a key filter (such
// as DigitsOnlyFilter of pages/input_rules.h) and a typing limit, and which
// says when the user leaves it (a page's leaving rule, such as ZeroToDefault).
//
// Filter and limit govern the user's input only: typing, pasting (each pasted
// character is filtered, the rest cut at the limit) and dropping. Text set by
// the program is never filtered or cut: an account "12345" loaded into an edit
// limited to 4 characters shows "12345", and typing into it adds nothing
// until the user has deleted below the limit. (QLineEdit::setMaxLength would
// cut such a text, so it is not used.)
#include <QLineEdit>
#include <functional>

class QFocusEvent;

namespace tamlo {

// A focus loss that is the user leaving a control for another control of the
// window; a pop-up menu or a switch to another window is not.
bool LeavesForAnotherControl(const QFocusEvent& event);

class FilteredLineEdit : public QLineEdit {
  Q_OBJECT
 public:
  // true: the typed character is taken. Control characters never reach it.
  using KeyFilter = std::function<bool(char32_t)>;

  explicit FilteredLineEdit(QWidget* parent = nullptr);

  // No filter: every character is taken.
  void SetKeyFilter(KeyFilter filter) { m_filter = std::move(filter); }
  // The most characters the user can bring the text to; 0: no limit.
  void SetTypingLimit(int characters) { m_limit = characters; }

  // `text` as it would be inserted at the cursor by the user: filtered
  // character by character, then cut to the room the limit leaves (the
  // selected text, which the insertion replaces, counts as room).
  QString AcceptableInput(const QString& text) const;

 signals:
  // The focus went to another control of the window (not to a pop-up menu or
  // another window): the moment of a page's leaving rule.
  void exited();

 public slots:
  // Paste and the context menu's paste: the clipboard's text as typed input.
  void FilteredPaste();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void InsertFrom(const QString& text);

  KeyFilter m_filter;
  int m_limit = 0;
};

}  // namespace tamlo
