#include "device/crypto_keys.h"

#include "device/entry_rules.h"
#include "link/secure_wipe.h"

namespace tamlo::device {
namespace {

// The only slot the window handles: key No. 1.
constexpr unsigned kKeySlot = 0;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

KeyStatusView KeyStatusText(int count, unsigned mask) {
  if (count < 0) return {"Обновите информацию", KeyStatusColour::White};
  if (count == 0) return {"Шифрование не поддерживается", KeyStatusColour::Red};
  if ((mask & 1u) != 0) return {"Установлен", KeyStatusColour::White};
  return {"Не задан (ключ по умолчанию)", KeyStatusColour::Yellow};
}

std::optional<std::array<uint8_t, kKeyLength>> KeyBytesFromText(std::string_view text) {
  if (text.size() != 2 * kKeyLength) return std::nullopt;
  std::array<uint8_t, kKeyLength> key{};
  for (size_t i = 0; i < kKeyLength; ++i) {
    const int high = HexValue(text[2 * i]);
    const int low = HexValue(text[2 * i + 1]);
    if (high < 0 || low < 0) {
      link::SecureWipe(key.data(), key.size());
      return std::nullopt;
    }
    key[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return key;
}

CryptoKeysModel::CryptoKeysModel(KeyOperations& device, EntryPrompt& prompt, UserDialogs& dialogs)
    : m_device(device), m_prompt(prompt), m_dialogs(dialogs), m_status(KeyStatusText(-1, 0)) {}

void CryptoKeysModel::ShowKeyStatus(int count, unsigned mask) {
  m_status = KeyStatusText(count, mask);
  if (m_listener) m_listener();
}

void CryptoKeysModel::L_KeyWriteClick() {
  std::optional<std::string> text = m_prompt.Ask(KeyRequest());
  if (!text || text->empty()) return;
  m_device.WriteKey(kKeySlot, *text);
  link::SecureWipe(*text);
}

void CryptoKeysModel::L_KeyDeleteClick() {
  if (m_dialogs.ShowMessage("Удалить ключ №1 из устройства?", "Удаление ключа", MessageIcon::Question,
                            MessageButtons::OkCancel, MessageResult::Cancel) != MessageResult::Ok)
    return;
  m_device.DeleteKey(kKeySlot);
}

}  // namespace tamlo::device
