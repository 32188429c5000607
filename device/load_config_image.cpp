#include "device/load_config_image.h"

namespace tamlo::device {

int LoadConfigImage(const uint8_t* bytes, size_t length, PageSet& pages, ServiceLog& log, UserDialogs& dialogs) {
  const DeviceImage image = AcceptDeviceImage(bytes, length, log);
  try {
    if (!image.accepted()) throw ConfigLoadError(image.refusal);
    LoadConfigData(pages, image.data.data(), image.data.size(), image.header);
  } catch (const ConfigLoadError& error) {
    dialogs.ShowMessage(error.what(), kConfigReadErrorCaption, MessageIcon::Error);
    return -1;
  }
  return 0;
}

}  // namespace tamlo::device
