#pragma once
// The data of KEY_CHANGE: u8 slot, u8 key length (16 to write, 0 to delete),
// the 16 key bytes of a write. The request holds the key, so it wipes itself
// when it goes: no copy of a key outlives the exchange that sends it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "device/crypto_keys.h"
#include "link/exchange_dispatcher.h"

namespace tamlo::device {

class KeyChangeRequest {
 public:
  // Deletes key `slot`: the device goes back to its default key.
  static KeyChangeRequest Delete(unsigned slot);
  // Writes key `slot` from its 32 hexadecimal characters; nothing for any
  // other text (kBadKeyMessage).
  static std::optional<KeyChangeRequest> Write(unsigned slot, std::string_view text);

  KeyChangeRequest(KeyChangeRequest&& other) noexcept;
  KeyChangeRequest& operator=(KeyChangeRequest&&) = delete;
  KeyChangeRequest(const KeyChangeRequest&) = delete;
  KeyChangeRequest& operator=(const KeyChangeRequest&) = delete;
  ~KeyChangeRequest() { Wipe(); }

  const uint8_t* data() const { return m_bytes.data(); }
  size_t size() const { return m_size; }
  // The input of the KEY_CHANGE that sends it.
  link::ActionInput input() const { return {m_bytes.data(), m_size, nullptr}; }
  // Zeros every byte; the request is then empty.
  void Wipe();

 private:
  KeyChangeRequest() = default;
  std::array<uint8_t, 2 + kKeyLength> m_bytes{};
  size_t m_size = 0;
};

}  // namespace tamlo::device
