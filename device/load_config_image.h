#pragma once
// A configuration image read from a device, checked and loaded into the
// pages. The image is a 32-byte ConfigImageHeader and the encoded data
// (config/config_image.h).
//
// Checks, in order; the first that fails shows its message in an error box
// captioned "Ошибка при чтении конфигурации" and the load gives -1:
//   fewer than 32 bytes      "Некорректная длина блока конфигурации"
//   magic other than "TAM0"  "Прочитанные данные не являются конфигурацией Tamlo"
//   bytes after the header fewer than either data length (offsets 8, 16)
//                            "Некорректная длина данных в заголовке. Возможно, данные повреждены."
// A header with a device number (24) or a device time (28) logs when and as
// which configuration the device stored it. Then LoadConfigData; its message
// ends the load the same way, with what it delivered before the fault left in
// the pages. The pages are untouched by a refused header.
#include <cstddef>
#include <cstdint>

#include "config/config_page.h"
#include "config/user_interface.h"

namespace tamlo::device {

inline constexpr const char* kConfigReadErrorCaption = "Ошибка при чтении конфигурации";

// 0 when loaded, -1 after the error box.
int LoadConfigImage(const uint8_t* bytes, size_t length, PageSet& pages, ServiceLog& log, UserDialogs& dialogs);

}  // namespace tamlo::device
