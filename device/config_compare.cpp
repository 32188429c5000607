#include "device/config_compare.h"

#include <algorithm>

#include "config/config_image.h"
#include "device/session/device_image.h"
#include "pages/setting_captions.h"

namespace tamlo::device {

std::string DifferenceLine(const SettingDifference& difference) {
  return difference.name + ": " + difference.a.value_or("(none)") + " -> " + difference.b.value_or("(none)");
}

DifferenceRow DifferenceRowOf(const SettingDifference& difference) {
  const auto shown = [&difference](const std::optional<std::string>& value) {
    return value ? SettingValueCaption(difference.name, *value) : std::string("-");
  };
  return {SettingCaption(difference.name), shown(difference.a), shown(difference.b)};
}

std::optional<std::string> VerifyReadBack(const std::vector<uint8_t>& written, const std::vector<uint8_t>& read) {
  constexpr const char* kFailed = "Проверка записи не пройдена: ";
  const DeviceImage written_image = CheckDeviceImage(written);
  const DeviceImage read_image = CheckDeviceImage(read);
  if (!read_image.accepted())
    return std::string(kFailed) + "прочитанные данные не являются конфигурацией (" + read_image.refusal + ")";
  if (!written_image.accepted())
    return std::string(kFailed) + "записанные данные не являются конфигурацией (" + written_image.refusal + ")";
  const std::vector<uint8_t>& written_data = written_image.data;
  const std::vector<uint8_t>& read_data = read_image.data;
  if (written_data == read_data) return std::nullopt;
  try {
    const std::vector<SettingDifference> differences = DiffConfigData(written_data, read_data);
    if (!differences.empty())
      return std::string(kFailed) + "в приборе другое значение настройки " + DifferenceLine(differences.front());
  } catch (const ConfigLoadError& error) {
    return std::string(kFailed) + "конфигурация в приборе повреждена (" + error.what() + ")";
  }
  // The same settings in another encoding (field order, padding).
  const auto mismatch = std::mismatch(written_data.begin(), written_data.end(), read_data.begin(), read_data.end());
  return std::string(kFailed) + "закодированные данные отличаются с байта " +
         std::to_string(mismatch.first - written_data.begin());
}

}  // namespace tamlo::device
