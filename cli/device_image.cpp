#include "cli/device_image.h"

#include <cstdio>

#include "config/config_image.h"
#include "link/device_time.h"

namespace tamlo::cli {

std::optional<std::vector<uint8_t>> CheckedDeviceData(DeviceSession& session, const std::vector<uint8_t>& image) {
  const char* error = nullptr;
  ConfigImageHeader h;
  if (image.size() < ConfigImageHeader::kSize) {
    error = "Некорректная длина блока конфигурации";
  } else {
    h = ConfigImageHeader::Parse(image.data());
    const size_t data = image.size() - ConfigImageHeader::kSize;
    if (!h.MagicOk()) error = "Прочитанные данные не являются конфигурацией Tamlo";
    else if (data < h.length2 || data < h.length)
      error = "Некорректная длина данных в заголовке. Возможно, данные повреждены.";
    else if (h.device_number != 0 || h.device_time != 0) {
      char text[200];
      std::snprintf(text, sizeof text, "Конфигурация была записана %s (по часам устройства), внутренний номер %u",
                    link::FormatDeviceTime(h.device_time).c_str(), h.device_number);
      session.LogInfo(text);
    }
  }
  if (error != nullptr) {
    session.LogInfo(error);
    return std::nullopt;
  }
  const auto begin = image.begin() + ConfigImageHeader::kSize;
  return std::vector<uint8_t>(begin, begin + h.length2);
}

}  // namespace tamlo::cli
