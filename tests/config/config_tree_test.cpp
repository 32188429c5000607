#include "config/config_tree.h"

#include <gtest/gtest.h>

#include "config/settings_registry.h"
#include "test_pages.h"

namespace tamlo {
namespace {

using testing::Hex;

TEST(ConfigTree, PutInt_ChoosesTheShortestTypeAtEachBoundary) {
  struct Case {
    int32_t value;
    EncodingType type;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {0, kTypeVarint, Hex({0x00})},
      {127, kTypeVarint, Hex({0x7F})},
      {128, kTypeVarint, Hex({0x80, 0x01})},
      {2097151, kTypeVarint, Hex({0xFF, 0xFF, 0x7F})},
      {2097152, kTypeFixed32, Hex({0x00, 0x00, 0x20, 0x00})},
      {-1, kTypeNegVarint, Hex({0x01})},
      {-5, kTypeNegVarint, Hex({0x05})},
      {-2097151, kTypeNegVarint, Hex({0xFF, 0xFF, 0x7F})},
      {-2097152, kTypeFixed32, Hex({0x00, 0x00, 0xE0, 0xFF})},
      {INT32_MIN, kTypeFixed32, Hex({0x00, 0x00, 0x00, 0x80})},
      {INT32_MAX, kTypeFixed32, Hex({0xFF, 0xFF, 0xFF, 0x7F})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    ConfigTree tree;
    tree.PutInt(7, c.value);
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree.entries()[0].type, c.type);
    EXPECT_EQ(tree.entries()[0].value, c.bytes);
  }
}

TEST(ConfigTree, PutString_StoresWindows1251WithTerminatingZero) {
  ConfigTree tree;
  tree.PutString(1, "abc");
  tree.PutString(2, "");
  tree.PutString(3, "Дом");
  EXPECT_EQ(tree.entries()[0].value, Hex({0x61, 0x62, 0x63, 0x00}));
  EXPECT_EQ(tree.entries()[1].value, Hex({0x00}));
  EXPECT_EQ(tree.entries()[2].value, Hex({0xC4, 0xEE, 0xEC, 0x00}));
  for (const ConfigEntry& e : tree) EXPECT_EQ(e.type, kTypeBytes);
}

TEST(ConfigTree, PutTrimmedString_TrimsBothEndsAndSkipsBlankText) {
  ClearNotedSettings();
  ConfigTree tree;
  tree.PutTrimmedString(1, "  ", "Пароль", 304);
  tree.PutTrimmedString(2, "\t\r\n");
  EXPECT_TRUE(tree.empty());
  EXPECT_TRUE(NotedSettings().empty());
  tree.PutTrimmedString(3, " \tinternet \n", "Пароль", 304);
  ASSERT_EQ(tree.size(), 1u);
  EXPECT_EQ(tree.entries()[0].value, Hex({'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0}));
  EXPECT_EQ(NotedSettings().size(), 1u);
}

TEST(ConfigTree, EqualIdsKeepPutOrder_SmallerIdLandsBefore) {
  ConfigTree tree;
  tree.PutInt(6, 1);
  tree.PutInt(6, 2);
  tree.PutInt(2, 3);
  tree.PutInt(6, 4);
  std::vector<std::pair<uint32_t, uint8_t>> order;
  for (const ConfigEntry& e : tree) order.emplace_back(e.id, e.value[0]);
  EXPECT_EQ(order, (std::vector<std::pair<uint32_t, uint8_t>>{{2, 3}, {6, 1}, {6, 2}, {6, 4}}));
  tree.PutInt(2, 5);  // puts after a read land in order too
  tree.PutInt(1, 6);
  order.clear();
  for (const ConfigEntry& e : tree) order.emplace_back(e.id, e.value[0]);
  EXPECT_EQ(order, (std::vector<std::pair<uint32_t, uint8_t>>{{1, 6}, {2, 3}, {2, 5}, {6, 1}, {6, 2}, {6, 4}}));
}

// Phones (3) and notes (4) put in turn: ordering each put at once made this
// many rows take many minutes.
TEST(ConfigTree, AlternatingPutsOfManyRows_NotQuadratic) {
  constexpr int32_t kRows = 200000;
  ConfigTree tree;
  for (int32_t row = 0; row < 2 * kRows; ++row) tree.PutInt(3 + row % 2, row / 2);
  const std::vector<ConfigEntry>& entries = tree.entries();
  EXPECT_EQ(entries[kRows - 1].id, 3u);
  EXPECT_EQ(entries[kRows - 1].value, entries[2 * kRows - 1].value);  // the last row's phone and note
}

TEST(ConfigTree, IdAbove24Bits_IsRefused) {
  ConfigTree tree;
  tree.PutInt(kMaxParameterId, 1);
  EXPECT_THROW(tree.PutInt(kMaxParameterId + 1, 1), std::out_of_range);
  EXPECT_THROW(tree.PutGroup(kMaxParameterId + 1, ConfigTree()), std::out_of_range);
}

TEST(SettingsRegistry, NoteSetting_SkipsUnnamedAndVersionZero_KeepsPairsOnceByVersion) {
  ClearNotedSettings();
  NoteSetting("", 304);
  NoteSetting("Шифрование", 0);
  EXPECT_TRUE(NotedSettings().empty());

  ConfigTree tree;
  tree.PutInt(1, 1, "Шифрование", 311);
  tree.PutInt(2, 1, "Тип входа", 302);
  tree.PutString(3, "x", "PIN-код SIM-карты", 304);
  tree.PutInt(4, 1, "Тип входа", 302);          // same pair again
  tree.PutInt(5, 1, "Шифрование", 304);          // same name, other version
  tree.PutInt(6, 1, "Индивидуальный период тестов", 304);
  EXPECT_EQ(NotedSettings(), (std::vector<NotedSetting>{{"Тип входа", 302},
                                                        {"PIN-код SIM-карты", 304},
                                                        {"Шифрование", 304},
                                                        {"Индивидуальный период тестов", 304},
                                                        {"Шифрование", 311}}));
  ClearNotedSettings();
  EXPECT_TRUE(NotedSettings().empty());
}

}  // namespace
}  // namespace tamlo
