// Settings applied by their listed names (SettingsPages::ApplySetting): each
// kind of control takes what the user could enter and runs the page's rules;
// everything else is refused and leaves the pages as they were.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config_image.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"
#include "pages/settings_pages.h"
#include "tests/pages/every_parameter.h"

namespace tamlo {
namespace {

using testing::EveryParameterSet;
using testing::ScriptedDialogs;

std::string Value(const SettingsPages& pages, const std::string& name) {
  for (const SettingValue& s : pages.ListSettings())
    if (s.name == name) return s.value;
  return "<no such setting>";
}

struct Applied {
  const char* name;
  const char* value;
  const char* listed;  // the value listed afterwards
};

// One case per kind of control and rule; the listed value shows the rule ran.
TEST(ApplySetting, EachControlKindTakesWhatTheUserCouldEnter) {
  const Applied cases[] = {
      {"general.E_Account", "1bcd", "1bcd"},                // lower-case Contact ID digits pass the filter
      {"general.CB_ReplaceAcc", "on", "on"},                // check box
      {"general.E_Password_Apn2", "пароль 2", "пароль 2"},  // no filter, no limit
      {"general.E_Pin1", "12345678", "12345678"},           // exactly the limit
      {"inputs.4.GrpBx_LoopType", "RB_NormalClosed", "RB_NormalClosed"},
      {"inputs.2.E_Zone", "", ""},                          // an edit may be emptied
      {"tests.GroupBox_Tests", "RB_TestAndromedaStyle", "RB_TestAndromedaStyle"},
      {"tests.ME_ScheduleStart", "1 :3 ", "1 :3 "},         // a partly filled time field
      {"tests.E_QT_Period", "12", "30"},                    // leaving rule: below 30 becomes 30
      {"directions.2.C_Proto", "Kam-Net (LAN)", "Kam-Net (LAN)"},
      {"directions.2.C_SIM", "Sim 2", "Sim 2"},
      {"directions.6.E_Try", "0", "1"},                     // leaving rule: zero becomes 1
      {"directions.6.CB_UseCrypto", "on", "on"},            // second row, folded: set all the same
      {"options.E_OneSimLoops", "", "3"},                   // leaving rule: empty becomes 3
      {"options.ME_BackTestTime", "99:59", "99:59"},
      {"remote.E_MaxPhoneLen", "0", "10"},
      {"remote.LIST_Phones.1", " 812 | дом | дача", " 812 | дом || дача"},  // split at the first " | "
      {"remote.LIST_Phones.1", "a|| | || b", "a|| | || b"},  // a "|" ending the phone, one starting the note
      {"lan.netmask", " 255.255.0.0 ", "255.255.0.0"},
  };
  for (const Applied& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedDialogs dialogs;
    SettingsPages pages(dialogs);
    const SettingApply result = pages.ApplySetting(c.name, c.value);
    EXPECT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(Value(pages, c.name), c.listed);
  }
}

// Click rules run as a click would run them.
TEST(ApplySetting, ClicksRunTheirRules) {
  ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  ASSERT_TRUE(pages.ApplySetting("inputs.1.GrpBx_LoopType", "RB_Resistance").ok());
  EXPECT_TRUE(pages.Input(0).state().GrpBx_Event_Visible);
  ASSERT_TRUE(pages.ApplySetting("directions.1.C_Proto", "Kam-Net").ok());
  EXPECT_EQ(pages.Directions().frame(1).state().L_Tel, "Адрес");
  EXPECT_TRUE(pages.Directions().frame(1).state().visible.E_Port);
  ASSERT_TRUE(pages.ApplySetting("lan.CB_UseDHCP", "off").ok());
  EXPECT_TRUE(pages.Lan().state().visible.ip);
  ASSERT_TRUE(pages.ApplySetting("remote.CB_EnableAcs", "on").ok());
  EXPECT_TRUE(pages.Remote().state().visible.LIST_Phones);
  ASSERT_TRUE(pages.ApplySetting("tests.CB_EnableQT", "on").ok());
  EXPECT_TRUE(pages.Tests().state().visible.E_QT_Period);
}

TEST(ApplySetting, ListRowsReplaceOrAppend) {
  ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  ASSERT_TRUE(pages.ApplySetting("remote.LIST_Phones.1", "111 | a").ok());
  ASSERT_TRUE(pages.ApplySetting("remote.LIST_Phones.2", " | только примечание").ok());
  ASSERT_TRUE(pages.ApplySetting("remote.LIST_Phones.1", "333 |").ok());  // an editor cut the trailing blank
  ASSERT_TRUE(pages.ApplySetting("remote.LIST_Phones.3", "+7900 || 111 | дежурный").ok());  // "||": one "|"
  EXPECT_EQ(pages.Remote().state().LIST_Phones,
            (std::vector<PhoneRow>{{"333", ""}, {"", "только примечание"}, {"+7900 | 111", "дежурный"}}));
}

struct Refused {
  const char* name;
  const char* value;
  SettingApply::Status status;
};

TEST(ApplySetting, RefusalsLeaveThePagesAsTheyWere) {
  using S = SettingApply::Status;
  const Refused cases[] = {
      {"general.E_Account", "1A", S::Refused},               // "A" is no Contact ID digit
      {"general.E_Account", "12345", S::Refused},            // over the typing limit
      {"general.E_Pin2", "12 4", S::Refused},                // digits only
      {"general.E_Apn1", "a\tb", S::Refused},                // a control code is no character
      {"general.E_Apn1", "\xD0", S::Refused},                // broken UTF-8
      {"general.CB_OwnMessages", "yes", S::Refused},
      {"inputs.1.GrpBx_LoopType", "RB_Tamlo", S::Refused},   // only L4 shows the repeater button
      {"inputs.4.GrpBx_LoopType", "Не используется", S::Refused},  // the name, not the caption
      {"tests.ME_AutoTest", "1:30", S::Refused},
      {"tests.ME_AutoTest", "01:3x", S::Refused},
      {"directions.1.C_Proto", "kam-net", S::Refused},       // item texts exactly
      {"directions.1.C_SIM", "Sim 3", S::Refused},
      {"directions.1.E_Port", "243330", S::Refused},
      {"remote.LIST_Phones.2", "812 | дом", S::Refused},     // the list is empty: row 2 leaves a gap
      {"remote.LIST_Phones.1", "812", S::Refused},           // no " | "
      {"lan.dns1", "8.8.8.256", S::Refused},
      {"general.E_account", "1", S::UnknownName},
      {"inputs.5.E_Zone", "1", S::UnknownName},
      {"directions.7.E_Try", "1", S::UnknownName},
      {"directions.01.E_Try", "1", S::UnknownName},
      {"remote.LIST_Phones.01", "1 | 2", S::UnknownName},
      {"lan", "on", S::UnknownName},
      {"", "", S::UnknownName},
  };
  for (const Refused& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " = " + c.value);
    ScriptedDialogs dialogs;
    SettingsPages pages(dialogs);
    const std::vector<SettingValue> before = pages.ListSettings();
    const SettingApply result = pages.ApplySetting(c.name, c.value);
    EXPECT_EQ(result.status, c.status);
    EXPECT_TRUE(c.status != S::Refused || !result.reason.empty()) << "a refusal says why";
    EXPECT_EQ(pages.ListSettings(), before);
  }
}

// A loaded text the edit could not take from the keyboard stays when it is
// given back unchanged: a file's own listing applies onto that file.
TEST(ApplySetting, LoadedTextOverTheLimitIsKeptWhenUnchanged) {
  ScriptedDialogs dialogs;
  SettingsPages pages(dialogs);
  const std::vector<uint8_t> data = EncodeConfig(EveryParameterSet());
  LoadConfigData(pages.Set(), data.data(), data.size(), ConfigImageHeader::For(data.data(), data.size()));
  ASSERT_EQ(Value(pages, "inputs.3.E_Event"), "12345");
  EXPECT_TRUE(pages.ApplySetting("inputs.3.E_Event", "12345").ok());
  EXPECT_EQ(pages.ApplySetting("inputs.3.E_Event", "12346").status, SettingApply::Status::Refused);
  for (const SettingValue& s : pages.ListSettings()) EXPECT_TRUE(pages.ApplySetting(s.name, s.value).ok()) << s.name;
}

// Every listed setting applied to fresh pages rebuilds the configuration:
// ApplySetting is the inverse of ListSettings for every control.
TEST(ApplySetting, ChangedSettingsOntoFreshPagesRebuildTheSameData) {
  ScriptedDialogs dialogs;
  SettingsPages source(dialogs);
  ConfigTree tree = EveryParameterSet();
  std::vector<uint8_t> data = EncodeConfig(tree);
  LoadConfigData(source.Set(), data.data(), data.size(), ConfigImageHeader::For(data.data(), data.size()));
  // Input 3's event code "12345" is longer than anyone can type: give it one that fits.
  ASSERT_TRUE(source.ApplySetting("inputs.3.E_Event", "F45").ok());
  const std::vector<uint8_t> expected = BuildConfigImage(source.Set());

  SettingsPages copy(dialogs);
  for (const SettingValue& s : source.ListChangedSettings()) {
    const SettingApply result = copy.ApplySetting(s.name, s.value);
    EXPECT_TRUE(result.ok()) << s.name << ": " << result.reason;
  }
  EXPECT_EQ(BuildConfigImage(copy.Set()), expected);
  EXPECT_EQ(copy.ListSettings(), source.ListSettings());
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace tamlo
