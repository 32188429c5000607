#pragma once
// The GUI's message boxes on a terminal: each message is one line on
// standard error, "caption: text", its line breaks folded into spaces, in the
// order the GUI would show the boxes. File dialogs are never answered.
#include <cstdio>

#include "config/user_interface.h"

namespace tamlo::cli {

class ConsoleDialogs : public UserDialogs {
 public:
  explicit ConsoleDialogs(FILE* out = stderr) : m_out(out) {}
  std::optional<std::string> ChooseFile(const FileDialogRequest&) override { return std::nullopt; }
  MessageResult ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                            MessageButtons buttons, MessageResult default_button) override;

 private:
  FILE* m_out;
};

}  // namespace tamlo::cli
