// Two configurations compared through the settings pages (settings_diff.h).
#include "pages/settings_diff.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "config/config_image.h"
#include "config/config_tree.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"
#include "tests/pages/every_parameter.h"

namespace tamlo {
namespace {

using testing::EveryParameterSet;
using testing::ScriptedDialogs;

std::vector<uint8_t> Data(const ConfigTree& tree, const std::vector<uint8_t>& extra = {}) {
  std::vector<uint8_t> data = EncodeConfig(tree);
  data.insert(data.end(), extra.begin(), extra.end());
  return data;
}

std::vector<std::string> Names(const std::vector<SettingDifference>& diff) {
  std::vector<std::string> names;
  for (const SettingDifference& d : diff) names.push_back(d.name);
  return names;
}

TEST(SettingsDiff, EqualConfigurationsHaveNoDifference) {
  EXPECT_TRUE(DiffConfigData({}, {}).empty());
  EXPECT_TRUE(DiffConfigData(Data(EveryParameterSet()), Data(EveryParameterSet())).empty());
  // An explicit default is no difference from an absent one: both show the same.
  ConfigTree explicit_default;
  explicit_default.PutInt(263, 3);
  EXPECT_TRUE(DiffConfigData(Data(explicit_default), {}).empty());
}

// Against defaults, every setting of every page differs: the diff names the
// same settings as the changed-settings list, with both values.
TEST(SettingsDiff, EveryPageSettingAgainstDefaults) {
  ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  const std::vector<uint8_t> every = Data(EveryParameterSet());
  LoadConfigData(pages.Set(), every.data(), every.size(), ConfigImageHeader::For(every.data(), every.size()));
  const std::vector<SettingValue> changed = pages.ListChangedSettings();

  const std::vector<SettingDifference> diff = DiffConfigData({}, every);
  ASSERT_EQ(diff.size(), changed.size());
  for (size_t i = 0; i < diff.size(); ++i) {
    SCOPED_TRACE(changed[i].name);
    EXPECT_EQ(diff[i].name, changed[i].name);
    EXPECT_EQ(diff[i].b, changed[i].value);
    EXPECT_NE(diff[i].a, diff[i].b);
  }
  std::set<std::string> pages_seen;
  for (const SettingDifference& d : diff) pages_seen.insert(d.name.substr(0, d.name.find('.')));
  EXPECT_EQ(pages_seen, (std::set<std::string>{"general", "inputs", "tests", "directions", "options", "remote", "lan"}));
  // The other way round the sides swap.
  EXPECT_EQ(DiffConfigData(every, {})[0], (SettingDifference{"general.E_Account", "1BCD", ""}));
}

// Repeated groups are told apart by their number: the direction, the input,
// the SIM card, the phone row.
TEST(SettingsDiff, RepeatedGroupsByTheirNumber) {
  const auto with = [](auto&& change) {
    ConfigTree tree = EveryParameterSet();
    ScriptedDialogs dialogs;
    SettingsPages pages(dialogs);
    const std::vector<uint8_t> data = Data(tree);
    LoadConfigData(pages.Set(), data.data(), data.size(), ConfigImageHeader::For(data.data(), data.size()));
    change(pages);
    const std::vector<uint8_t> image = BuildConfigImage(pages.Set());
    return std::vector<uint8_t>(image.begin() + ConfigImageHeader::kSize, image.end());
  };
  const std::vector<uint8_t> base = Data(EveryParameterSet());
  const auto changed = [&](auto&& change) { return DiffConfigData(base, with(change)); };

  EXPECT_EQ(changed([](SettingsPages& p) { p.Directions().frame(4).SetText(DirectionFrameModel::Edit::E_Try, "2"); }),
            (std::vector<SettingDifference>{{"directions.4.E_Try", "14", "2"}}));
  EXPECT_EQ(changed([](SettingsPages& p) { p.Input(2).SetText(LoopEdit::E_Zone, "777"); }),
            (std::vector<SettingDifference>{{"inputs.3.E_Zone", "000", "777"}}));
  EXPECT_EQ(changed([](SettingsPages& p) { p.General().SetText(GeneralEdit::E_Pin2, "1111"); }),
            (std::vector<SettingDifference>{{"general.E_Pin2", "87654321", "1111"}}));
  // A row more on one side, and a row removed from the middle (the rows after it move up).
  EXPECT_EQ(changed([](SettingsPages& p) {
              p.Remote().InsertRow(3);
              p.Remote().SetPhone(3, "444");
            }),
            (std::vector<SettingDifference>{{"remote.LIST_Phones.4", std::nullopt, "444 | "}}));
  EXPECT_EQ(Names(changed([](SettingsPages& p) { p.Remote().DeleteRow(1); })),
            (std::vector<std::string>{"remote.LIST_Phones.2", "remote.LIST_Phones.3"}));
  const std::vector<SettingDifference> removed = changed([](SettingsPages& p) { p.Remote().DeleteRow(1); });
  EXPECT_EQ(removed.back(), (SettingDifference{"remote.LIST_Phones.3", "333 | ", std::nullopt}));
}

// Fields no page takes are compared too, by id and repeat index, after the settings.
TEST(SettingsDiff, DataNoPageTakes) {
  ConfigTree a;
  a.PutInt(257, 0x12);
  const std::vector<uint8_t> unknown_bytes{0xC4, 0x25, 0x02, 0xAB, 0x01};  // id 300, bytes AB 01
  const std::vector<uint8_t> unknown_int{0xC0, 0x25, 0x05};                // id 300, integer 5
  EXPECT_EQ(DiffConfigData(Data(a), Data(a, unknown_bytes)),
            (std::vector<SettingDifference>{{"data.300.1", std::nullopt, "bytes AB 01"}}));
  EXPECT_EQ(DiffConfigData(Data(a, unknown_int), Data(a, unknown_bytes)),
            (std::vector<SettingDifference>{{"data.300.1", "integer 5", "bytes AB 01"}}));
  EXPECT_TRUE(DiffConfigData(Data(a, unknown_bytes), Data(a, unknown_bytes)).empty());

  // A seventh direction group, which no frame takes, and a text at the top level.
  ConfigTree b;
  b.PutInt(257, 0x12);
  for (int n = 0; n < 7; ++n) {
    ConfigTree direction;
    if (n == 6) direction.PutInt(5, 9);
    b.PutGroup(2, std::move(direction));
  }
  b.PutString(301, "Пост");
  const std::vector<SettingDifference> diff = DiffConfigData(Data(a), Data(b));
  EXPECT_EQ(diff, (std::vector<SettingDifference>{{"data.2.7", std::nullopt, "group 50 09"},
                                                  {"data.301.1", std::nullopt, "text Пост"}}));

  ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  const std::vector<uint8_t> data = Data(b);
  EXPECT_EQ(LoadKeepingUntaken(pages, data.data(), data.size()).size(), 2u);
  EXPECT_EQ(pages.General().state().E_Account, "0012");  // the rest loaded
}

TEST(SettingsDiff, MalformedDataThrowsTheLoadMessage) {
  ConfigTree a;
  a.PutInt(257, 0x12);
  const struct {
    const char* name;
    std::vector<uint8_t> extra;
  } cases[] = {
      {"group longer than the data", {0x35, 0x7F}},
      {"reserved key bit", {0x08, 0x01}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(DiffConfigData(Data(a), Data(a, c.extra)), ConfigLoadError);
    EXPECT_THROW(DiffConfigData(Data(a, c.extra), Data(a)), ConfigLoadError);
  }
}

}  // namespace
}  // namespace tamlo
