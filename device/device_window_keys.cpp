// The device window's key exchanges, run for the encryption keys window.
#include "device/device_window.h"
#include "device/session/key_request.h"

namespace tamlo::device {

void DeviceWindowModel::ReadKeyStatus() { RunDeviceAction(link::KEYS_STATUS, {}); }

int DeviceWindowModel::RunKeyChange(const KeyChangeRequest& request, const char* success) {
  return RunDeviceAction(link::KEY_CHANGE, request.input(), std::string(success));
}

int DeviceWindowModel::WriteKey(unsigned slot, const std::string& text) {
  const std::optional<KeyChangeRequest> request = KeyChangeRequest::Write(slot, text);
  if (!request) {
    // The device window has no caption of its own: the box has none either.
    m_seams.dialogs.ShowMessage(kBadKeyMessage, "", MessageIcon::Error);
    return -1;
  }
  return RunKeyChange(*request, kKeyWrittenMessage);
}

int DeviceWindowModel::DeleteKey(unsigned slot) {
  return RunKeyChange(KeyChangeRequest::Delete(slot), kKeyDeletedMessage);
}

}  // namespace tamlo::device
