#pragma once
// The file dialogs and message boxes of the program, bound to Qt: the
// configuration model asks through UserDialogs, so tests script it instead.
#include <QStringList>
#include <QWidget>

#include "config/user_interface.h"

namespace tamlo {

class QtUserDialogs : public UserDialogs {
 public:
  // Dialogs and boxes are modal over `parent`; without one, over the window
  // that is active when they open.
  explicit QtUserDialogs(QWidget* parent = nullptr) : m_parent(parent) {}

  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
  MessageResult ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                            MessageButtons buttons, MessageResult default_button) override;

 private:
  QWidget* Parent() const;

  QWidget* m_parent = nullptr;
};

// Converts a filter of "Description (*.a)|*.a;*.b|..." pairs into Qt's
// "Description (*.a *.b)" entries. The pattern half is what matches, so a
// description's own parenthesised part is replaced by it: "Все файлы (*.*)|*"
// becomes "Все файлы (*)", which also lists files without an extension.
QStringList ToQtFileFilters(const std::string& filter);

}  // namespace tamlo
