#include "pages/settings_pages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "config/config_image.h"
#include "config/parameter_catalogue.h"
#include "config/settings_registry.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"
#include "tests/pages/every_parameter.h"

namespace tamlo {
namespace {

using testing::EveryParameterSet;
using testing::ScriptedDialogs;

std::vector<uint8_t> Data(const std::vector<uint8_t>& image) {
  return {image.begin() + ConfigImageHeader::kSize, image.end()};
}

void Load(SettingsPages& pages, const std::vector<uint8_t>& data) {
  LoadConfigData(pages.Set(), data.data(), data.size(), ConfigImageHeader::For(data.data(), data.size()));
}

// The shared end-to-end configuration must really hold every parameter the
// pages know, or the byte-identical checks built on it prove less than they
// claim.
TEST(EveryParameterSet, HoldsEveryCatalogueParameter) {
  std::set<std::pair<uint32_t, uint32_t>> seen;
  const std::vector<uint8_t> data = EncodeConfig(EveryParameterSet());
  ASSERT_EQ(WalkConfig(data.data(), data.size(),
                       [&](uint32_t code, int32_t, const uint8_t* d, size_t n, uint32_t) {
                         const uint32_t group = FieldCodeId(code);
                         seen.insert({0, group});
                         if (FieldCodeKind(code) != kFieldGroup) return 1;
                         return WalkConfig(d, n, [&](uint32_t inner, int32_t, const uint8_t*, size_t, uint32_t) {
                           seen.insert({group, FieldCodeId(inner)});
                           return 1;
                         });
                       }),
            1);
  for (const CatalogueParameter& p : ParameterCatalogue()) {
    EXPECT_TRUE(seen.count({p.group, p.id})) << "group " << p.group << " id " << p.id;
  }
}

TEST(SettingsPages, EveryParameterLoadsAndStoresByteIdentical) {
  ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  const std::vector<uint8_t> data = EncodeConfig(EveryParameterSet());
  ASSERT_NO_THROW(Load(pages, data));
  EXPECT_EQ(Data(BuildConfigImage(pages.Set())), data);
  EXPECT_TRUE(dialogs.messages.empty());

  // The input groups went to L1..L4 through the general page, in order.
  EXPECT_EQ(pages.Input(0).state().E_Zone, "010");
  EXPECT_EQ(pages.Input(3).state().E_Partition, "BC");

  // A reset of the set empties every page: nothing is stored.
  ResetAllPages(pages.Set());
  EXPECT_TRUE(Data(BuildConfigImage(pages.Set())).empty());
  EXPECT_TRUE(pages.ListChangedSettings().empty());
}

// The catalogue names what the pages note: storing the file that holds every
// parameter notes each of its settings with its version, except the periodic
// autotest, which excludes the scheduled one the file holds.
TEST(SettingsPages, EveryParameterNotesTheCatalogueSettings) {
  ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  Load(pages, EncodeConfig(EveryParameterSet()));
  BuildConfigImage(pages.Set());
  std::set<std::pair<std::string, uint32_t>> noted, listed;
  for (const NotedSetting& s : NotedSettings()) noted.insert({s.name, s.min_version});
  for (const CatalogueParameter& p : ParameterCatalogue())
    for (const CatalogueSetting& s : p.settings)
      if (s.name != nullptr && std::string(s.name) != "Периодический автотест") listed.insert({s.name, s.min_version});
  EXPECT_EQ(noted, listed);
}

TEST(SettingsPages, ChangedSettingsInStoringOrderWithPageNames) {
  ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  Load(pages, EncodeConfig(EveryParameterSet()));
  const std::vector<SettingValue> changed = pages.ListChangedSettings();
  std::vector<std::string> pages_in_order;
  for (const SettingValue& s : changed) {
    const std::string page = s.name.substr(0, s.name.find('.'));
    if (pages_in_order.empty() || pages_in_order.back() != page) pages_in_order.push_back(page);
  }
  EXPECT_EQ(pages_in_order, (std::vector<std::string>{"general", "inputs", "tests", "directions",
                                                      "options", "remote", "lan"}));
  const auto has = [&](const std::string& name, const std::string& value) {
    for (const SettingValue& s : changed) {
      if (s.name == name) return s.value == value;
    }
    return false;
  };
  EXPECT_TRUE(has("general.E_Account", "1BCD"));
  EXPECT_TRUE(has("remote.LIST_Phones.2", " | только примечание"));
  EXPECT_TRUE(has("lan.ip", "192.168.1.10"));

  // Unchanged controls are left out; the full listing has them.
  ResetAllPages(pages.Set());
  pages.General().SetText(GeneralEdit::E_Account, "12");
  EXPECT_EQ(pages.ListChangedSettings(), (std::vector<SettingValue>{{"general.E_Account", "12"}}));
}

}  // namespace
}  // namespace tamlo
