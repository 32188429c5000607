#pragma once
// The encryption keys window (TF_CryptoKeys, "Ключи шифрования в
// устройстве") without the window: the status text of key No. 1 and its
// colour, the key text turned into the bytes of a key change request, and
// the window's three commands, run as exchanges of the device window.
//
// The device encrypts what it transmits with key No. 1 when one is written,
// otherwise with its built-in default key. Key status from the device: u8
// number of key slots, u8 mask of the slots holding a key (bit 0 = key No.
// 1); a device without key support reports 0, 0.
//
// Key change request (the data of KEY_CHANGE): u8 slot, u8 key length (16
// to write, 0 to delete), the 16 key bytes. The key is typed as 32
// hexadecimal characters, two per byte, the first of each pair the high
// nibble: "00112233..." gives 00 11 22 33 ...
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "config/user_interface.h"
#include "device/device_seams.h"

namespace tamlo::device {

inline constexpr size_t kKeyLength = 16;

enum class KeyStatusColour { White, Red, Yellow };

struct KeyStatusView {
  std::string text;
  KeyStatusColour colour = KeyStatusColour::White;
};

// What "Ключ №1:" shows; `count` is -1 before the first status arrived.
KeyStatusView KeyStatusText(int count, unsigned mask);

// The 16 key bytes of a 32-character hexadecimal text (either case);
// nothing for any other text.
std::optional<std::array<uint8_t, kKeyLength>> KeyBytesFromText(std::string_view text);

// The device window's key exchanges, as the key window uses them.
class KeyOperations {
 public:
  virtual ~KeyOperations() = default;
  // Reads the key status; it arrives through the key status listener.
  virtual void ReadKeyStatus() = 0;
  // Writes key `slot` from its 32-character text. A badly formed text is
  // refused with "Неверный формат ключа" and nothing is sent. Negative on
  // failure.
  virtual int WriteKey(unsigned slot, const std::string& text) = 0;
  virtual int DeleteKey(unsigned slot) = 0;
};

inline constexpr char kBadKeyMessage[] = "Неверный формат ключа";
inline constexpr char kKeyWrittenMessage[] = "Ключ записан в прибор";
inline constexpr char kKeyDeletedMessage[] = "Ключ удален из прибора";

class CryptoKeysModel {
 public:
  // `prompt` is the key entry dialog, `dialogs` asks the delete question.
  CryptoKeysModel(KeyOperations& device, EntryPrompt& prompt, UserDialogs& dialogs);

  // The status shown now: "Обновите информацию" until the first status
  // arrives, then the last one, kept between openings of the window.
  const KeyStatusView& status() const { return m_status; }
  void SetChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }

  // The device window's key status report (and -1 to forget it).
  void ShowKeyStatus(int count, unsigned mask);

  // "Обновить информацию о ключах".
  void L_UpdateKeysClick() { m_device.ReadKeyStatus(); }
  // "Записать": the key entry dialog, then the write; cancelling sends nothing.
  void L_KeyWriteClick();
  // "Удалить": after "Удалить ключ №1 из устройства?" is confirmed.
  void L_KeyDeleteClick();

 private:
  KeyOperations& m_device;
  EntryPrompt& m_prompt;
  UserDialogs& m_dialogs;
  KeyStatusView m_status;
  std::function<void()> m_listener;
};

}  // namespace tamlo::device
