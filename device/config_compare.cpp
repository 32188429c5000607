#include "device/config_compare.h"

#include <algorithm>

#include "config/config_image.h"
#include "pages/setting_captions.h"

namespace tamlo::device {

std::optional<std::vector<uint8_t>> ImageData(const std::vector<uint8_t>& image) {
  if (image.size() < ConfigImageHeader::kSize) return std::nullopt;
  const ConfigImageHeader header = ConfigImageHeader::Parse(image.data());
  if (!header.MagicOk() || header.length > image.size() - ConfigImageHeader::kSize) return std::nullopt;
  const auto begin = image.begin() + ConfigImageHeader::kSize;
  return std::vector<uint8_t>(begin, begin + header.length);
}

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
  const std::optional<std::vector<uint8_t>> written_data = ImageData(written);
  const std::optional<std::vector<uint8_t>> read_data = ImageData(read);
  if (!read_data) return std::string(kFailed) + "прочитанные данные не являются конфигурацией";
  if (written_data && *written_data == *read_data) return std::nullopt;
  if (!written_data) return std::string(kFailed) + "записанные данные не являются конфигурацией";
  try {
    const std::vector<SettingDifference> differences = DiffConfigData(*written_data, *read_data);
    if (!differences.empty())
      return std::string(kFailed) + "в приборе другое значение настройки " + DifferenceLine(differences.front());
  } catch (const ConfigLoadError& error) {
    return std::string(kFailed) + "конфигурация в приборе повреждена (" + error.what() + ")";
  }
  // The same settings in another encoding (field order, padding).
  const auto mismatch = std::mismatch(written_data->begin(), written_data->end(), read_data->begin(), read_data->end());
  return std::string(kFailed) + "закодированные данные отличаются с байта " +
         std::to_string(mismatch.first - written_data->begin());
}

}  // namespace tamlo::device
