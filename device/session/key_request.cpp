#include "device/session/key_request.h"

#include "link/secure_wipe.h"

namespace tamlo::device {

KeyChangeRequest KeyChangeRequest::Delete(unsigned slot) {
  KeyChangeRequest request;
  request.m_bytes[0] = static_cast<uint8_t>(slot);
  request.m_size = 2;
  return request;
}

std::optional<KeyChangeRequest> KeyChangeRequest::Write(unsigned slot, std::string_view text) {
  std::optional<std::array<uint8_t, kKeyLength>> key = KeyBytesFromText(text);
  if (!key) return std::nullopt;
  std::optional<KeyChangeRequest> request(KeyChangeRequest{});
  request->m_bytes[0] = static_cast<uint8_t>(slot);
  request->m_bytes[1] = kKeyLength;
  std::copy(key->begin(), key->end(), request->m_bytes.begin() + 2);
  request->m_size = request->m_bytes.size();
  link::SecureWipe(key->data(), key->size());
  return request;
}

KeyChangeRequest::KeyChangeRequest(KeyChangeRequest&& other) noexcept : m_bytes(other.m_bytes), m_size(other.m_size) {
  other.Wipe();
}

void KeyChangeRequest::Wipe() {
  link::SecureWipe(m_bytes.data(), m_bytes.size());
  m_size = 0;
}

}  // namespace tamlo::device
