#pragma once
// What the configuration model needs of the user interface: file dialogs,
// message boxes and the device window's service log. The GUI binds these to
// Qt widgets; the tests script them; the console tool prints.
//
// All texts and file names are UTF-8.
#include <optional>
#include <string>
#include <string_view>

namespace tamlo {

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel, Yes, No };

struct FileDialogRequest {
  bool save = false;          // a save dialog, which asks before overwriting an existing file
  std::string filter;         // "Description (*.ext)|*.ext|..." pairs, first one selected
  std::string default_ext;    // added when the user types a name without an extension
  std::string initial_name;   // the dialog starts with this name filled in
  std::string title;          // the dialog's caption; empty: the toolkit's own ("Открыть", "Сохранить как")
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // The chosen file's full name, or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;
  // A message box; the answer is the button pressed (closing the box answers
  // Cancel, No in a Yes/No box, Ok in an OK box). `default_button` is the
  // one Enter presses; when the box has no such button (Ok in a Yes/No box),
  // its first button is the default.
  virtual MessageResult ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                                    MessageButtons buttons = MessageButtons::Ok,
                                    MessageResult default_button = MessageResult::Ok) = 0;
};

// The device window's service log: each line gets the local date and time in
// front when it is written.
class ServiceLog {
 public:
  virtual ~ServiceLog() = default;
  virtual void LogInfo(std::string_view text) = 0;
};

}  // namespace tamlo
