#include "config/config_image.h"

#include <gtest/gtest.h>

#include "config/settings_registry.h"
#include "test_pages.h"

namespace tamlo {
namespace {

using testing::FakePage;
using testing::Hex;
using testing::SeenField;

// Six top pages like the real ones plus four input pages. Page 0 owns the SIM
// groups and 257; page 2 the direction groups.
struct Pages {
  FakePage page[6];
  FakePage input[4];
  PageSet set;
  std::vector<std::string> journal;
  Pages() {
    for (int i = 0; i < 6; ++i) {
      page[i].name = "p" + std::to_string(i);
      page[i].journal = &journal;
      set.top.push_back(&page[i]);
    }
    for (int i = 0; i < 4; ++i) {
      input[i].name = "L" + std::to_string(i + 1);
      input[i].journal = &journal;
      set.inputs.push_back(&input[i]);
    }
    page[0].takes = {1, 257};
    page[0].nested_takes = {1, 2, 3, 4};
    page[2].takes = {2};
    page[2].nested_takes = {1, 2, 3};
  }
};

TEST(ConfigImageHeader, ParseAndSerialize_LittleEndianAtFixedOffsets) {
  std::vector<uint8_t> raw(32);
  for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(i + 1);
  const ConfigImageHeader h = ConfigImageHeader::Parse(raw.data());
  EXPECT_EQ(h.version, 0x08070605u);
  EXPECT_EQ(h.length2, 0x14131211u);
  EXPECT_EQ(h.device_time, 0x201F1E1Du);
  const auto back = h.Serialize();
  EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.end()), raw);
}

TEST(BuildConfigImage, DefaultPages_GiveTheHeaderAlone) {
  Pages p;
  // Pages at their defaults put only empty groups.
  p.page[0].store = [](ConfigTree& t) {
    t.PutGroup(1, ConfigTree());
    t.PutGroup(1, ConfigTree());
    for (int i = 0; i < 4; ++i) t.PutGroup(4, ConfigTree());
  };
  p.page[2].store = [](ConfigTree& t) {
    for (int i = 0; i < 6; ++i) t.PutGroup(2, ConfigTree());
  };
  const auto image = BuildConfigImage(p.set);
  EXPECT_EQ(image, Hex({0x54, 0x41, 0x4D, 0x30, 0x0D, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                        0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0,    0,    0,    0}));
  EXPECT_EQ(p.journal, (std::vector<std::string>{"store p0", "store p1", "store p2", "store p3", "store p4",
                                                 "store p5"}));
}

TEST(BuildConfigImage, HeaderCarriesLengthsAndChecksum_RegistryRefilled) {
  Pages p;
  NoteSetting("from an earlier build", 399);
  p.page[5].store = [](ConfigTree& t) { t.PutString(1, "abc", "Шифрование", 311); };
  const auto image = BuildConfigImage(p.set);
  ASSERT_EQ(image.size(), 32u + 6u);
  const auto h = ConfigImageHeader::Parse(image.data());
  EXPECT_EQ(h.length, 6u);
  EXPECT_EQ(h.length2, 6u);
  EXPECT_EQ(h.checksum, ConfigImageHeader::For(image.data() + 32, 6).checksum);
  EXPECT_EQ(NotedSettings(), (std::vector<NotedSetting>{{"Шифрование", 311}}));

  // Checksum of "abc" as the header stores it: 3D BE DB CA.
  const uint8_t abc[] = {'a', 'b', 'c'};
  const auto bytes = ConfigImageHeader::For(abc, 3).Serialize();
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 12, bytes.begin() + 16), Hex({0x3D, 0xBE, 0xDB, 0xCA}));
}

TEST(LoadConfigData, ResetsInOrder_OffersFieldsToTheFirstTaker_NestsGroups) {
  Pages p;
  p.page[1].takes = {1};  // never reached: page 0 answers first
  const auto data = Hex({0x15, 0x00, 0x15, 0x06, 0x14, 0x04, 'a', 'b', 'c', 0, 0x25, 0x02, 0x10, 0x07, 0x90,
                         0x20, 0xB4, 0x24});
  ConfigImageHeader h = ConfigImageHeader::For(data.data(), data.size());
  EXPECT_NO_THROW(LoadConfigData(p.set, data.data(), data.size(), h));
  EXPECT_EQ(p.journal, (std::vector<std::string>{"reset p0", "reset p1", "reset p2", "reset p3", "reset p4",
                                                 "reset p5", "reset L1", "reset L2", "reset L3", "reset L4"}));
  EXPECT_TRUE(p.page[1].seen.empty());
  EXPECT_EQ(p.page[0].seen, (std::vector<SeenField>{{0, 0, 1, 3, 0, "", 0},
                                                    {0, 0, 1, 3, 0, "\x14\x04" "abc" + std::string(1, '\0'), 1},
                                                    {1, 1, 1, 1, 0, "abc" + std::string(1, '\0'), 0},
                                                    {0, 0, 257, 0, 4660, "", 0}}));
  ASSERT_EQ(p.page[2].seen.size(), 2u);
  EXPECT_EQ(p.page[2].seen[1].value, 7);
  for (auto& page : p.page) EXPECT_EQ(page.after_loads, 1);
}

std::string LoadMessage(Pages& p, const std::vector<uint8_t>& data, uint32_t version = 0x0001000D) {
  ConfigImageHeader h = ConfigImageHeader::For(data.data(), data.size());
  h.version = version;
  try {
    LoadConfigData(p.set, data.data(), data.size(), h);
  } catch (const ConfigLoadError& e) {
    return e.what();
  }
  return "";
}

TEST(LoadConfigData, Messages_KeepWhatWasDeliveredBeforeTheFault) {
  Pages p;
  // Unknown top-level id 300 between two known fields: both known ones stay.
  EXPECT_EQ(LoadMessage(p, Hex({0x90, 0x20, 0x05, 0xC0, 0x25, 0x01})),
            "Внимание: В конфигурации обнаружены неизвестные данные. Возможно, конфигурация была создана в "
            "несовместимой версии конфигуратора (1.13) или повреждена.\n\nЕсли вы запишете конфигурацию, эти "
            "данные будут потеряны.");
  EXPECT_EQ(p.page[0].seen.size(), 1u);
  // An unknown id inside a group is unrecognised data too.
  EXPECT_EQ(LoadMessage(p, Hex({0x25, 0x02, 0x70, 0x01})).rfind("Внимание:", 0), 0u);

  EXPECT_EQ(LoadMessage(p, Hex({0x90, 0x20, 0x05, 0x98, 0x20}), 0x00020007),
            "Неизвестный способ кодирования данных в конфигурации. Возможно, конфигурация была создана в "
            "несовместимой версии конфигуратора (2.07) или повреждена.");
  EXPECT_EQ(p.page[0].seen.size(), 1u);

  const std::string parse = "Ошибка при разборе конфигурации. Возможно, она повреждена.";
  EXPECT_EQ(LoadMessage(p, Hex({0x90, 0x20, 0x05, 0x80})), parse);
  EXPECT_EQ(p.page[0].seen.size(), 1u);
  // A malformed group content reaches the top through the page's nested walk.
  EXPECT_EQ(LoadMessage(p, Hex({0x15, 0x02, 0x16, 0x00})), parse);
  for (auto& page : p.page) EXPECT_EQ(page.after_loads, 5);
}

TEST(LoadConfigData, HeaderLongerThanTheData_IsAParseErrorWithoutReading) {
  Pages p;
  const auto data = Hex({0x90, 0x20, 0x05});
  ConfigImageHeader h = ConfigImageHeader::For(data.data(), data.size());
  h.length2 = 4;
  EXPECT_THROW(LoadConfigData(p.set, data.data(), data.size(), h), ConfigLoadError);
  EXPECT_TRUE(p.page[0].seen.empty());
  EXPECT_EQ(p.page[0].resets, 1);
  // Only length2 counts: bytes beyond it are not decoded, though the first
  // length covers them.
  h.length = 4;
  h.length2 = 3;
  const auto longer = Hex({0x90, 0x20, 0x05, 0xFF});
  EXPECT_NO_THROW(LoadConfigData(p.set, longer.data(), longer.size(), h));
}

}  // namespace
}  // namespace tamlo
