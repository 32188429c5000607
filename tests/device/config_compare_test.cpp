// The read back after a write: what counts as the same configuration and
// how a difference is named.
#include "device/config_compare.h"

#include <gtest/gtest.h>

#include "config/config_image.h"
#include "device/device_window_rig.h"

namespace tamlo::device::testing {
namespace {

std::vector<uint8_t> ImageWithAccount(const std::string& account) {
  ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  pages.General().SetText(GeneralEdit::E_Account, account);
  return BuildConfigImage(pages.Set());
}

TEST(VerifyReadBack, SameDataPasses_EveryOtherReplyIsNamed) {
  const std::vector<uint8_t> written = ImageWithAccount("0012");
  std::vector<uint8_t> stamped = written;  // the device numbers and dates what it stores
  stamped[24] = 7;
  stamped[28] = 9;
  std::vector<uint8_t> trailing = written;  // bytes past the data length are not data
  trailing.push_back(0x55);
  std::vector<uint8_t> garbled = written;
  garbled.resize(ConfigImageHeader::kSize);
  const std::vector<uint8_t> noise = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  garbled.insert(garbled.end(), noise.begin(), noise.end());
  const auto header = ConfigImageHeader::For(noise.data(), noise.size()).Serialize();
  std::copy(header.begin(), header.end(), garbled.begin());
  std::vector<uint8_t> decodes_nothing = written;  // offset 16 says 0 bytes; offset 8 still covers the data
  std::fill(decodes_nothing.begin() + 16, decodes_nothing.begin() + 20, 0);

  const struct Case {
    const char* name;
    std::vector<uint8_t> read;
    std::optional<std::string> verdict;
  } cases[] = {
      {"same", written, std::nullopt},
      {"stamped by the device", stamped, std::nullopt},
      {"trailing bytes", trailing, std::nullopt},
      {"another account", ImageWithAccount("0013"),
       "Проверка записи не пройдена: в приборе другое значение настройки general.E_Account: 0012 -> 0013"},
      {"decodes nothing", decodes_nothing,
       "Проверка записи не пройдена: в приборе другое значение настройки general.E_Account: 0012 -> "},
      {"no image", {'T', 'A', 'M', '0'},
       "Проверка записи не пройдена: прочитанные данные не являются конфигурацией (Некорректная длина блока "
       "конфигурации)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(VerifyReadBack(written, c.read), c.verdict);
  }
  // The header alone (pages at their defaults) is a configuration too.
  ScriptedDialogs dialogs;
  SettingsPages reset_pages(dialogs);
  const std::vector<uint8_t> header_only = BuildConfigImage(reset_pages.Set());
  ASSERT_EQ(header_only.size(), ConfigImageHeader::kSize);
  std::vector<uint8_t> header_only_stamped = header_only;
  header_only_stamped[24] = 3;
  EXPECT_EQ(VerifyReadBack(header_only, header_only_stamped), std::nullopt);
  // A device that returns data the pages cannot walk fails too, with the
  // load's reason.
  const std::optional<std::string> garbled_verdict = VerifyReadBack(written, garbled);
  ASSERT_TRUE(garbled_verdict);
  EXPECT_EQ(garbled_verdict->rfind("Проверка записи не пройдена: ", 0), 0u) << *garbled_verdict;
}

// A row of the comparison shows what the pages show: ticks as "да"/"нет",
// texts as they are (an access point may well be called "on").
TEST(DifferenceRowOf, TicksInWords_TextsAsTheyAre_MissingSideADash) {
  const struct Case {
    SettingDifference difference;
    DifferenceRow row;
  } cases[] = {
      {{"general.CB_ReplaceAcc", "on", "off"},
       {"Общие настройки › Заменять № объекта в ретранслируемых событиях", "да", "нет"}},
      {{"directions.2.CB_UseCrypto", "off", "on"}, {"Направления доставки › Направление 2 › Шифрование", "нет", "да"}},
      {{"general.E_Apn1", "on", "off"}, {"Общие настройки › SIM 1 APN › Точка доступа", "on", "off"}},
      {{"remote.LIST_Phones.2", std::nullopt, "444 | "}, {"Удаленные подключения › Телефон 2", "-", "444 | "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difference.name);
    EXPECT_EQ(DifferenceRowOf(c.difference), c.row);
  }
}

}  // namespace
}  // namespace tamlo::device::testing
