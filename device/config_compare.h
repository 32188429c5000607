#pragma once
// Configuration images compared by their encoded data: the read back after a
// write, and the device against the settings pages. The header is left out
// of the comparison because the device fills in its own fields (number and
// time of the stored configuration) when it stores an image. Each side is
// checked and cut to its decoded data by CheckDeviceImage
// (device/session/device_image.h), as a load would take it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/device_seams.h"
#include "pages/settings_diff.h"

namespace tamlo::device {

// "general.E_Account: 0012 -> 0013", as the console's diff prints it; a side
// without the setting shows "(none)".
std::string DifferenceLine(const SettingDifference& difference);

// A row of "Сравнить с прибором": the setting and both values as the pages
// show them, "-" for a side without the setting.
DifferenceRow DifferenceRowOf(const SettingDifference& difference);

// The verdict on a configuration read back after writing `written`: nothing
// when the device returned the same decoded data, else the error text, which
// names the first differing setting (in page order) when the data decode.
std::optional<std::string> VerifyReadBack(const std::vector<uint8_t>& written, const std::vector<uint8_t>& read);

}  // namespace tamlo::device
