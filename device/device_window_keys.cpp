// The device window's key exchanges, run for the encryption keys window.
#include <array>

#include "device/device_window.h"
#include "link/secure_wipe.h"

namespace tamlo::device {

void DeviceWindowModel::ReadKeyStatus() { RunDeviceAction(link::KEYS_STATUS, {}); }

int DeviceWindowModel::WriteKey(unsigned slot, const std::string& text) {
  std::optional<std::array<uint8_t, kKeyLength>> key = KeyBytesFromText(text);
  if (!key) {
    // The device window has no caption of its own: the box has none either.
    m_seams.dialogs.ShowMessage(kBadKeyMessage, "", MessageIcon::Error);
    return -1;
  }
  std::array<uint8_t, 2 + kKeyLength> request{static_cast<uint8_t>(slot), kKeyLength};
  std::copy(key->begin(), key->end(), request.begin() + 2);
  link::SecureWipe(key->data(), key->size());
  link::ActionInput input;
  input.data = request.data();
  input.length = request.size();
  const int result = RunDeviceAction(link::KEY_CHANGE, input, std::string(kKeyWrittenMessage));
  link::SecureWipe(request.data(), request.size());
  return result;
}

int DeviceWindowModel::DeleteKey(unsigned slot) {
  const uint8_t request[2] = {static_cast<uint8_t>(slot), 0};
  link::ActionInput input;
  input.data = request;
  input.length = sizeof request;
  return RunDeviceAction(link::KEY_CHANGE, input, std::string(kKeyDeletedMessage));
}

}  // namespace tamlo::device
