#pragma once
// The rules of the one-line entry dialog (TF_PassInput) without the dialog:
// which typed characters the edit takes in each mode, what Enter and Esc do,
// and the EAN-13 check of a scanned serial number. The Qt dialog feeds its
// edit's key presses here and closes when the model says so.
#include <optional>
#include <string>
#include <string_view>

#include "config/user_interface.h"
#include "device/device_seams.h"

namespace tamlo::device {

inline constexpr char kPasswordCaption[] = "Требуется пароль";
inline constexpr char kPasswordPrompt[] = "Введите пароль для доступа к устройству:";
inline constexpr char kSerialNumberCaption[] = "Запись серийного номера";
inline constexpr char kSerialNumberPrompt[] = "Отсканируйте серийный номер";
inline constexpr char kKeyCaption[] = "Запись ключа шифрования";
inline constexpr char kKeyPrompt[] = "Введите ключ №1 (32 шестнадцатиричных символа)";
inline constexpr char kSerialLengthMessage[] = "Серийный номер должен быть 13 цифр";
inline constexpr char kSerialInvalidMessage[] = "Неверный серийный номер";

// A scanned serial number has 13 digits (EAN-13); the device stores the
// first 12, the last one being the check digit.
inline constexpr size_t kScannedSerialLength = 13;
inline constexpr size_t kStoredSerialLength = 12;
// An encryption key is 16 bytes typed as 32 hexadecimal characters.
inline constexpr size_t kKeyTextLength = 32;

// The requests of the three uses, with their captions, prompts and limits.
EntryRequest PasswordRequest(size_t max_length, std::string prefill);
EntryRequest SerialNumberRequest();
EntryRequest KeyRequest();

// The EAN-13 check: 13 decimal digits whose sum, weighted 1, 3, 1, 3, ...
// from the first digit, is a multiple of 10. Anything else is invalid.
bool IsValidSerialNumber(std::string_view text);

// The serial number to write from a scanned text: spaces and control
// characters around it are dropped, then it must be 13 characters that pass
// the EAN-13 check, whose first 12 digits are written (the device does not
// store the check digit). Nothing, with `error` set to the message to show
// (kSerialLengthMessage or kSerialInvalidMessage), otherwise.
std::optional<std::string> SerialNumberFromScan(std::string_view text, std::string& error);

// Whether the edit takes a typed character. Control characters (below 32,
// such as backspace) always pass; a serial number takes only digits, a key
// only hexadecimal digits; a password takes everything.
bool EntryTakesCharacter(EntryMode mode, char32_t ch);

// The dialog's state for one showing. Messages go to `dialogs`, titled with
// the dialog's caption.
class EntryModel {
 public:
  explicit EntryModel(UserDialogs& dialogs) : m_dialogs(dialogs) {}

  // A new showing: the result is cleared and the dialog is open.
  void Open(const EntryRequest& request);
  const EntryRequest& Request() const { return m_request; }
  bool IsOpen() const { return m_open; }

  bool TakesCharacter(char32_t ch) const { return EntryTakesCharacter(m_request.mode, ch); }

  // Enter with the edit's text. The text is trimmed of spaces and control
  // characters at both ends; an empty text does nothing. A serial number
  // must be 13 characters and pass the EAN-13 check (else a message, and the
  // dialog stays open for a new scan) and is cut to its first 12 digits; a
  // key must be exactly 32 characters (else the dialog silently stays open).
  // true when the text was taken and the dialog closes.
  bool Enter(std::string_view edit_text);
  // Esc or the close box: the dialog closes with no result.
  void Cancel() { m_open = false; }

  // The accepted text; nothing when the user gave up.
  const std::optional<std::string>& Result() const { return m_result; }

 private:
  UserDialogs& m_dialogs;
  EntryRequest m_request;
  std::optional<std::string> m_result;
  bool m_open = false;
};

}  // namespace tamlo::device
