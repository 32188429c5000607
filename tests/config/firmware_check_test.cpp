#include "config/firmware_check.h"

#include <gtest/gtest.h>

#include "config/settings_registry.h"
#include "test_pages.h"

namespace tamlo {
namespace {

using testing::RecordingLog;
using testing::ScriptedDialogs;

const char* const kHeading = "Список неподдерживаемых настроек и минимально требуемая версия прошивки:";

struct Check {
  RecordingLog log;
  ScriptedDialogs dialogs;
  explicit Check(uint32_t fw, std::initializer_list<NotedSetting> settings) {
    ClearNotedSettings();
    for (const NotedSetting& s : settings) NoteSetting(s.name, s.min_version);
    CheckFirmwareCompatibility(fw, log, dialogs);
  }
};

TEST(FirmwareCheck, OneLinePerVersionAboveTheFirmware_AfterOneWarning) {
  Check c(304, {{"Тип входа", 302},
                {"PIN-код SIM-карты", 304},
                {"Период проверки восстановления GPRS/LAN", 310},
                {"Шифрование", 311}});
  EXPECT_EQ(c.log.lines, (std::vector<std::string>{"Проверка совместимости с прошивкой 3.04...", kHeading,
                                                   "Период проверки восстановления GPRS/LAN: 3.10",
                                                   "Шифрование: 3.11"}));
  ASSERT_EQ(c.dialogs.messages.size(), 1u);
  EXPECT_EQ(c.dialogs.messages[0].caption, "Запись конфигурации");
  EXPECT_EQ(c.dialogs.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(c.dialogs.messages[0].text,
            "В конфигурации обнаружены настройки, не поддерживаемые текушей версией прошивки устройства. Эти "
            "настройки будут проигнорированы.\n\nПолный список таких настроек см. в окне \"Служебная "
            "информация\".");
}

TEST(FirmwareCheck, NamesOfOneVersionShareALine_NameUnderTwoVersionsOnBoth) {
  Check c(305, {{"Протокол Kam-Net/LAN", 306},
                {"Шифрование", 306},
                {"Протокол SIA-IP/LAN", 306},
                {"Шифрование", 311}});
  EXPECT_EQ(c.log.lines, (std::vector<std::string>{"Проверка совместимости с прошивкой 3.05...", kHeading,
                                                   "Протокол Kam-Net/LAN, Шифрование, Протокол SIA-IP/LAN: 3.06",
                                                   "Шифрование: 3.11"}));
  EXPECT_EQ(c.dialogs.messages.size(), 1u);
}

TEST(FirmwareCheck, EqualVersionIsSupported_NothingAboveGivesOnlyTheCheckLine) {
  Check equal(310, {{"Период проверки восстановления GPRS/LAN", 310}, {"Шифрование", 311}});
  EXPECT_EQ(equal.log.lines, (std::vector<std::string>{"Проверка совместимости с прошивкой 3.10...", kHeading,
                                                       "Шифрование: 3.11"}));
  Check newer(1205, {{"Шифрование", 311}});
  EXPECT_EQ(newer.log.lines, (std::vector<std::string>{"Проверка совместимости с прошивкой 12.05..."}));
  EXPECT_TRUE(newer.dialogs.messages.empty());
  Check empty(311, {});
  EXPECT_EQ(empty.log.lines.size(), 1u);
}

TEST(FirmwareCheck, UnknownFirmware_OneLineNoBox) {
  Check c(0, {{"Шифрование", 311}});
  EXPECT_EQ(c.log.lines, (std::vector<std::string>{
                             "Не удалось определить версию прошивки прибора для проверки совместимости конфигурации"}));
  EXPECT_TRUE(c.dialogs.messages.empty());
}

}  // namespace
}  // namespace tamlo
