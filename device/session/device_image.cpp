#include "device/session/device_image.h"

#include <cstdio>

#include "link/device_time.h"

namespace tamlo::device {

DeviceImage CheckDeviceImage(const uint8_t* bytes, size_t length) {
  DeviceImage image;
  if (length < ConfigImageHeader::kSize) {
    image.refusal = "Некорректная длина блока конфигурации";
    return image;
  }
  const ConfigImageHeader header = ConfigImageHeader::Parse(bytes);
  if (!header.MagicOk()) {
    image.refusal = "Прочитанные данные не являются конфигурацией Tamlo";
    return image;
  }
  const size_t after_header = length - ConfigImageHeader::kSize;
  if (after_header < header.length2 || after_header < header.length) {
    image.refusal = "Некорректная длина данных в заголовке. Возможно, данные повреждены.";
    return image;
  }
  image.header = header;
  const uint8_t* data = bytes + ConfigImageHeader::kSize;
  image.data.assign(data, data + header.length2);
  return image;
}

std::optional<std::string> StoredByDeviceLine(const ConfigImageHeader& header) {
  if (header.device_number == 0 && header.device_time == 0) return std::nullopt;
  char text[256];
  std::snprintf(text, sizeof text, "Конфигурация была записана %s (по часам устройства), внутренний номер %u",
                link::FormatDeviceTime(header.device_time).c_str(), static_cast<unsigned>(header.device_number));
  return std::string(text);
}

DeviceImage AcceptDeviceImage(const uint8_t* bytes, size_t length, ServiceLog& log) {
  DeviceImage image = CheckDeviceImage(bytes, length);
  if (!image.accepted()) return image;
  if (const std::optional<std::string> line = StoredByDeviceLine(image.header)) log.LogInfo(*line);
  return image;
}

}  // namespace tamlo::device
