#include "cli/console_dialogs.h"

#include <string>

namespace tamlo::cli {

MessageResult ConsoleDialogs::ShowMessage(std::string_view text, std::string_view caption, MessageIcon,
                                          MessageButtons buttons, MessageResult) {
  std::string line(caption);
  if (!line.empty()) line += ": ";
  bool in_break = false;
  for (char c : text) {
    const bool line_break = c == '\n' || c == '\r';
    if (line_break && !in_break) line += ' ';
    if (!line_break) line += c;
    in_break = line_break;
  }
  std::fprintf(m_out, "%s\n", line.c_str());
  // Nobody can answer: a question is taken as declined.
  return buttons == MessageButtons::Ok ? MessageResult::Ok
         : buttons == MessageButtons::OkCancel ? MessageResult::Cancel
                                               : MessageResult::No;
}

}  // namespace tamlo::cli
