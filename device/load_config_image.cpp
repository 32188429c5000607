#include "device/load_config_image.h"

#include <cstdio>
#include <string>

#include "config/config_image.h"
#include "link/device_time.h"

namespace tamlo::device {
namespace {

// One refused image: the message box and the failure.
int Refuse(const std::string& message, UserDialogs& dialogs) {
  dialogs.ShowMessage(message, kConfigReadErrorCaption, MessageIcon::Error);
  return -1;
}

}  // namespace

int LoadConfigImage(const uint8_t* bytes, size_t length, PageSet& pages, ServiceLog& log, UserDialogs& dialogs) {
  if (length < ConfigImageHeader::kSize) return Refuse("Некорректная длина блока конфигурации", dialogs);
  const ConfigImageHeader header = ConfigImageHeader::Parse(bytes);
  if (!header.MagicOk()) return Refuse("Прочитанные данные не являются конфигурацией Tamlo", dialogs);
  const size_t data_length = length - ConfigImageHeader::kSize;
  if (data_length < header.length2 || data_length < header.length)
    return Refuse("Некорректная длина данных в заголовке. Возможно, данные повреждены.", dialogs);
  if (header.device_number != 0 || header.device_time != 0) {
    char text[256];
    std::snprintf(text, sizeof text, "Конфигурация была записана %s (по часам устройства), внутренний номер %u",
                  link::FormatDeviceTime(header.device_time).c_str(), static_cast<unsigned>(header.device_number));
    log.LogInfo(text);
  }
  try {
    LoadConfigData(pages, bytes + ConfigImageHeader::kSize, data_length, header);
  } catch (const ConfigLoadError& error) {
    return Refuse(error.what(), dialogs);
  }
  return 0;
}

}  // namespace tamlo::device
