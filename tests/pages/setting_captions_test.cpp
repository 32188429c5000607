// Setting names as the pages show them, for the comparison table.
#include "pages/setting_captions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "config/config_image.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"
#include "pages/settings_pages.h"
#include "tests/pages/every_parameter.h"

namespace tamlo {
namespace {

TEST(SettingCaption, EverySettingHasItsOwnCaption) {
  testing::ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  const std::vector<uint8_t> data = EncodeConfig(testing::EveryParameterSet());
  LoadConfigData(pages.Set(), data.data(), data.size(), ConfigImageHeader::For(data.data(), data.size()));
  std::set<std::string> captions;
  for (const SettingValue& s : pages.ListSettings()) {
    const std::string caption = SettingCaption(s.name);
    EXPECT_NE(caption, s.name);
    EXPECT_FALSE(caption.ends_with(":")) << caption;
    EXPECT_TRUE(captions.insert(caption).second) << s.name << " shares " << caption;
  }
}

TEST(SettingCaption, NodeGroupAndControl) {
  const std::pair<const char*, const char*> cases[] = {
      {"general.E_Account", "Общие настройки › Номер объекта (Account)"},
      {"general.E_Pin2", "Общие настройки › SIM 2 APN › PIN-код SIM-карты"},
      {"general.E_DevicePassword", "Общие настройки › Пароль для доступа к устройству"},
      {"inputs.4.GrpBx_LoopType", "Вход L4 (ретранслятор) › Тип входа"},
      {"directions.3.C_Proto", "Направления доставки › Направление 3 › Тип"},
      {"remote.LIST_Phones.12", "Удаленные подключения › Телефон 12"},
      {"data.300.1", "Данные, которые не берёт ни одна страница › поле 300, 1-е"},
      // Names no page lists stay as they are.
      {"directions.7.C_Proto", "directions.7.C_Proto"},
      {"general.E_Nothing", "general.E_Nothing"},
      {"data.300", "data.300"},
  };
  for (const auto& [name, caption] : cases) EXPECT_EQ(SettingCaption(name), caption) << name;
}

}  // namespace
}  // namespace tamlo
