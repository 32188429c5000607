#pragma once
// The check of a configuration image read from a device, made before any use
// of it: the load into the pages, the backup before a write, the read back
// after it, the comparison with the pages, and the console's config-read and
// diff. The image is a 32-byte ConfigImageHeader and the encoded data
// (config/config_image.h). Checks, in order; the first that fails is the
// refusal:
//   fewer than 32 bytes      "Некорректная длина блока конфигурации"
//   magic other than "TAM0"  "Прочитанные данные не являются конфигурацией Tamlo"
//   bytes after the header fewer than either data length (offsets 8, 16)
//                            "Некорректная длина данных в заголовке. Возможно, данные повреждены."
// The data of an accepted image is what a load decodes: the second length
// (offset 16) of bytes after the header. Bytes past it are not configuration,
// even where the first length covers them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/config_image.h"
#include "config/user_interface.h"

namespace tamlo::device {

// The verdict on an image read from a device.
struct DeviceImage {
  // nullptr when the image is accepted, else the refusal (texts above).
  const char* refusal = nullptr;
  // Of an accepted image only.
  ConfigImageHeader header;
  std::vector<uint8_t> data;  // the decoded data

  bool accepted() const { return refusal == nullptr; }
};

DeviceImage CheckDeviceImage(const uint8_t* bytes, size_t length);
inline DeviceImage CheckDeviceImage(const std::vector<uint8_t>& image) {
  return CheckDeviceImage(image.data(), image.size());
}

// "Конфигурация была записана 01.01.13 00:00:00 (по часам устройства),
// внутренний номер 17" for a header the device numbered (offset 24) or dated
// (offset 28); nothing for one with both fields 0 (an image the program
// built).
std::optional<std::string> StoredByDeviceLine(const ConfigImageHeader& header);

// CheckDeviceImage, and for an accepted image its StoredByDeviceLine in the
// service log: what every use of a configuration the device sent starts with.
// The refusal is the caller's to show (a box in the window, a log line in the
// console).
DeviceImage AcceptDeviceImage(const uint8_t* bytes, size_t length, ServiceLog& log);
inline DeviceImage AcceptDeviceImage(const std::vector<uint8_t>& image, ServiceLog& log) {
  return AcceptDeviceImage(image.data(), image.size(), log);
}

}  // namespace tamlo::device
