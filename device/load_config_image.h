#pragma once
// A configuration image read from a device, checked (CheckDeviceImage,
// device/session/device_image.h) and loaded into the pages.
//
// LoadConfigImage shows a refusal in an error box captioned "Ошибка при
// чтении конфигурации" and gives -1, the pages untouched. A header with a
// device number (24) or a device time (28) logs when and as which
// configuration the device stored it. Then LoadConfigData; its message ends
// the load the same way, with what it delivered before the fault left in the
// pages.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/config_image.h"
#include "config/config_page.h"
#include "config/user_interface.h"
#include "device/session/device_image.h"

namespace tamlo::device {

inline constexpr const char* kConfigReadErrorCaption = "Ошибка при чтении конфигурации";

// 0 when loaded, -1 after the error box.
int LoadConfigImage(const uint8_t* bytes, size_t length, PageSet& pages, ServiceLog& log, UserDialogs& dialogs);

}  // namespace tamlo::device
