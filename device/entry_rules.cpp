#include "device/entry_rules.h"

namespace tamlo::device {
namespace {

bool IsDigit(char32_t ch) { return ch >= U'0' && ch <= U'9'; }

bool IsHexDigit(char32_t ch) {
  return IsDigit(ch) || (ch >= U'a' && ch <= U'f') || (ch >= U'A' && ch <= U'F');
}

// Spaces and control characters are the bytes up to 0x20; the bytes of a
// multi-byte UTF-8 character are all 0x80 or above, so trimming bytes never
// cuts a character.
std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

// Characters, not bytes: a pasted Cyrillic letter is one character of a
// 13-character scan.
size_t CharacterCount(std::string_view utf8) {
  size_t count = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

}  // namespace

EntryRequest PasswordRequest(size_t max_length, std::string prefill) {
  return {EntryMode::Password, kPasswordCaption, kPasswordPrompt, max_length, std::move(prefill)};
}

EntryRequest SerialNumberRequest() {
  return {EntryMode::SerialNumber, kSerialNumberCaption, kSerialNumberPrompt, kScannedSerialLength, {}};
}

EntryRequest KeyRequest() { return {EntryMode::Key, kKeyCaption, kKeyPrompt, kKeyTextLength, {}}; }

bool IsValidSerialNumber(std::string_view text) {
  if (text.size() != kScannedSerialLength) return false;
  unsigned sum = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsDigit(static_cast<unsigned char>(text[i]))) return false;
    const unsigned digit = static_cast<unsigned>(text[i] - '0');
    sum += (i % 2 == 0) ? digit : 3 * digit;
  }
  return sum % 10 == 0;
}

std::optional<std::string> SerialNumberFromScan(std::string_view scanned, std::string& error) {
  const std::string_view text = Trimmed(scanned);
  if (CharacterCount(text) != kScannedSerialLength) {
    error = kSerialLengthMessage;
    return std::nullopt;
  }
  if (!IsValidSerialNumber(text)) {
    error = kSerialInvalidMessage;
    return std::nullopt;
  }
  return std::string(text.substr(0, kStoredSerialLength));
}

bool EntryTakesCharacter(EntryMode mode, char32_t ch) {
  if (ch < 32) return true;
  switch (mode) {
    case EntryMode::SerialNumber: return IsDigit(ch);
    case EntryMode::Key: return IsHexDigit(ch);
    case EntryMode::Password: break;
  }
  return true;
}

void EntryModel::Open(const EntryRequest& request) {
  m_request = request;
  m_result.reset();
  m_open = true;
}

bool EntryModel::Enter(std::string_view edit_text) {
  std::string_view text = Trimmed(edit_text);
  if (text.empty()) return false;
  switch (m_request.mode) {
    case EntryMode::SerialNumber: {
      std::string error;
      const std::optional<std::string> number = SerialNumberFromScan(text, error);
      if (!number) {
        m_dialogs.ShowMessage(error, m_request.caption, MessageIcon::Error);
        return false;
      }
      m_result = *number;
      m_open = false;
      return true;
    }
    case EntryMode::Key:
      if (CharacterCount(text) != kKeyTextLength) return false;
      break;
    case EntryMode::Password: break;
  }
  m_result = std::string(text);
  m_open = false;
  return true;
}

}  // namespace tamlo::device
