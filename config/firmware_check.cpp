#include "config/firmware_check.h"

#include <cstdio>

#include "config/settings_registry.h"

namespace tamlo {

std::string FormatFirmwareVersion(uint32_t version) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%02u", version / 100, version % 100);
  return text;
}

bool ReportUnsupportedGroup(const std::string& names, uint32_t version, bool warned, ServiceLog& log,
                            UserDialogs& dialogs) {
  if (names.empty()) return false;
  if (!warned) {
    // "текушей" is the device's established wording; keep it.
    dialogs.ShowMessage(
        "В конфигурации обнаружены настройки, не поддерживаемые текушей версией прошивки устройства. Эти "
        "настройки будут проигнорированы.\n\nПолный список таких настроек см. в окне \"Служебная информация\".",
        "Запись конфигурации", MessageIcon::Warning, MessageButtons::Ok);
    log.LogInfo("Список неподдерживаемых настроек и минимально требуемая версия прошивки:");
  }
  log.LogInfo(names + ": " + FormatFirmwareVersion(version));
  return true;
}

void CheckFirmwareCompatibility(uint32_t firmware_version, ServiceLog& log, UserDialogs& dialogs) {
  if (firmware_version == 0) {
    log.LogInfo("Не удалось определить версию прошивки прибора для проверки совместимости конфигурации");
    return;
  }
  log.LogInfo("Проверка совместимости с прошивкой " + FormatFirmwareVersion(firmware_version) + "...");
  std::string line;
  uint32_t line_version = 0;
  bool warned = false;
  // The registry is in ascending version, so each version makes one line.
  for (const NotedSetting& s : NotedSettings()) {
    if (s.min_version <= firmware_version) continue;
    if (s.min_version == line_version) {
      line += ", " + s.name;
      continue;
    }
    if (ReportUnsupportedGroup(line, line_version, warned, log, dialogs)) warned = true;
    line = s.name;
    line_version = s.min_version;
  }
  ReportUnsupportedGroup(line, line_version, warned, log, dialogs);
}

}  // namespace tamlo
