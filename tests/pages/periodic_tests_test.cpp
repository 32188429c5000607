#include "pages/periodic_tests.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "config/config_tree.h"
#include "config/settings_registry.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"

namespace tamlo {
namespace {

using testing::ScriptedDialogs;
using Edit = PeriodicTestsModel::Edit;
using Fields = std::vector<std::pair<uint32_t, int32_t>>;

constexpr const char* kStartWarning = "Некорректное значение времени начала расписания. Будет использоваться 00:00.";

struct Page {
  ScriptedDialogs dialogs;
  DeliveryDirectionsModel directions;
  PeriodicTestsModel tests{dialogs, directions};

  std::vector<uint8_t> Store() {
    ConfigTree tree;
    tests.StoreToConfig(tree);
    return EncodeConfig(tree);
  }
  // The integer fields of a store, as (id, value).
  Fields StoredFields() {
    const std::vector<uint8_t> bytes = Store();
    Fields fields;
    WalkConfig(bytes.data(), bytes.size(), [&fields](uint32_t code, int32_t v, const uint8_t*, size_t, uint32_t) {
      fields.emplace_back(FieldCodeId(code), v);
      return 1;
    });
    return fields;
  }
  int Load(const std::vector<uint8_t>& bytes) {
    tests.ResetToDefaults();
    const int result = WalkConfig(bytes.data(), bytes.size(), [this](uint32_t code, int32_t v, const uint8_t* d,
                                                                      size_t n, uint32_t rep) {
      return tests.LoadFromConfig(static_cast<int>(FieldCodeKind(code)), FieldCodeId(code), v, d, n, rep);
    });
    tests.AfterLoad();
    return result;
  }
};

TEST(PeriodicTests, CreatedAndReset_TestsOffFieldsBlankQuickTestsHidden) {
  Page p;
  EXPECT_EQ(p.tests.state().L_Overrides, "...");
  p.tests.RB_TestTypeClick(TestType::RB_TestAndromedaStyle);
  p.tests.SetText(Edit::ME_AutoTest, "01:00");
  p.tests.SetText(Edit::ME_ScheduleStart, "02:00");
  p.tests.SetText(Edit::E_QT_Period, "45");
  p.tests.CB_EnableQTClick(true);
  p.tests.UpdateOverridesLabel();
  p.tests.ResetToDefaults();
  PeriodicTestsModel::State expected;
  expected.L_Overrides = "";
  EXPECT_EQ(p.tests.state(), expected);
  EXPECT_EQ(p.tests.state().ME_AutoTest, "  :  ");
  EXPECT_EQ(p.tests.state().E_QT_Period, "60");
  EXPECT_EQ(p.tests.state().visible, PeriodicTestsModel::Visible{});
  EXPECT_TRUE(p.Store().empty());
}

TEST(PeriodicTests, TestTypeAndQuickTestClicks_SetVisibility) {
  struct Case {
    TestType type;
    bool period, overrides, schedule;
  } cases[] = {{TestType::RB_TestOptimal, true, true, false},
               {TestType::RB_TestAndromedaStyle, true, true, true},
               {TestType::RB_TestOff, false, false, false}};
  Page p;
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.type));
    p.tests.RB_TestTypeClick(c.type);
    EXPECT_EQ(p.tests.state().GroupBox_Tests, c.type);
    EXPECT_EQ(p.tests.state().visible.ME_AutoTest, c.period);
    EXPECT_EQ(p.tests.state().visible.L_Overrides, c.overrides);
    EXPECT_EQ(p.tests.state().visible.ME_ScheduleStart, c.schedule);
  }
  p.tests.CB_EnableQTClick(true);
  EXPECT_TRUE(p.tests.state().visible.E_QT_Period);
  p.tests.CB_EnableQTClick(false);
  EXPECT_FALSE(p.tests.state().visible.E_QT_Period);
}

TEST(PeriodicTests, LeavingQuickTestPeriod_EmptyBecomes60_BelowThirtyBecomes30) {
  struct Case {
    const char* typed;
    const char* left;
  } cases[] = {{"", "60"}, {"  ", "60"}, {"0", "30"}, {"29", "30"}, {"30", "30"}, {"45", "45"}, {"9999", "9999"}};
  for (const Case& c : cases) {
    Page p;
    p.tests.SetText(Edit::E_QT_Period, c.typed);
    p.tests.E_QT_PeriodExit();
    EXPECT_EQ(p.tests.state().E_QT_Period, c.left) << '"' << c.typed << '"';
  }
}

TEST(PeriodicTests, Load_TakesIdsTwoFiftyEightToTwoSixtyTwo) {
  const std::vector<uint8_t> text = {'1', 0};
  struct Case {
    const char* name;
    int kind;
    uint32_t id;
    int32_t value;
    int result;
    std::function<bool(const PeriodicTestsModel::State&)> check;
  } cases[] = {
      {"periodic", kFieldInteger, 258, 1, 1,
       [](auto& s) { return s.GroupBox_Tests == TestType::RB_TestOptimal && s.visible.ME_AutoTest; }},
      {"scheduled", kFieldInteger, 258, 2, 1,
       [](auto& s) { return s.GroupBox_Tests == TestType::RB_TestAndromedaStyle && s.visible.ME_ScheduleStart; }},
      {"type 3", kFieldInteger, 258, 3, 0, [](auto& s) { return s.GroupBox_Tests == TestType::RB_TestOptimal; }},
      {"type -1", kFieldInteger, 258, -1, 0, [](auto& s) { return s.GroupBox_Tests == TestType::RB_TestOptimal; }},
      {"type as text", kFieldText, 258, 0, 0, [](auto& s) { return s.GroupBox_Tests == TestType::RB_TestOptimal; }},
      {"period", kFieldInteger, 259, 754, 1, [](auto& s) { return s.ME_AutoTest == "12:34"; }},
      {"start", kFieldInteger, 260, 1439, 1, [](auto& s) { return s.ME_ScheduleStart == "23:59"; }},
      {"start 24:00 ignored", kFieldInteger, 260, 1440, 1, [](auto& s) { return s.ME_ScheduleStart == "05:00"; }},
      {"quick tests 0 still ticks", kFieldInteger, 261, 0, 1,
       [](auto& s) { return s.CB_EnableQT && s.visible.E_QT_Period; }},
      {"quick period", kFieldInteger, 262, 45, 1, [](auto& s) { return s.E_QT_Period == "45"; }},
      {"quick period 10", kFieldInteger, 262, 10, 1, [](auto& s) { return s.E_QT_Period == "30"; }},
      {"quick period 0", kFieldInteger, 262, 0, 1, [](auto& s) { return s.E_QT_Period == "60"; }},
      {"other id", kFieldInteger, 263, 1, 0, [](auto&) { return true; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Page p;
    p.tests.RB_TestTypeClick(TestType::RB_TestOptimal);
    p.tests.SetText(Edit::ME_ScheduleStart, "05:00");
    const bool is_text = c.kind == kFieldText;
    EXPECT_EQ(p.tests.LoadFromConfig(c.kind, c.id, c.value, is_text ? text.data() : nullptr,
                                     is_text ? text.size() : 0, 0),
              c.result);
    EXPECT_TRUE(c.check(p.tests.state()));
  }
}

TEST(PeriodicTests, Store_PutsEachParameterWhenNotDefault_WhateverTheTestType) {
  struct Case {
    const char* name;
    std::function<void(PeriodicTestsModel&)> edit;
    Fields fields;
    std::vector<NotedSetting> noted;
  } cases[] = {
      {"periodic", [](auto& m) { m.RB_TestTypeClick(TestType::RB_TestOptimal); }, {{258, 1}},
       {{"Периодический автотест", 303}}},
      {"scheduled", [](auto& m) { m.RB_TestTypeClick(TestType::RB_TestAndromedaStyle); }, {{258, 2}},
       {{"Автотест по расписанию", 303}}},
      {"period with tests off", [](auto& m) { m.SetText(Edit::ME_AutoTest, "01:30"); }, {{259, 90}}, {}},
      {"start 00:00", [](auto& m) { m.SetText(Edit::ME_ScheduleStart, "00:00"); }, {}, {}},
      {"start 23:59", [](auto& m) { m.SetText(Edit::ME_ScheduleStart, "23:59"); }, {{260, 1439}}, {}},
      {"quick tests", [](auto& m) { m.CB_EnableQTClick(true); }, {{261, 1}}, {}},
      {"quick period 45", [](auto& m) { m.SetText(Edit::E_QT_Period, "45"); }, {{262, 45}}, {}},
      {"quick period empty", [](auto& m) { m.SetText(Edit::E_QT_Period, ""); }, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Page p;
    c.edit(p.tests);
    ClearNotedSettings();
    EXPECT_EQ(p.StoredFields(), c.fields);
    EXPECT_EQ(NotedSettings(), c.noted);
    EXPECT_TRUE(p.dialogs.messages.empty());
  }
}

TEST(PeriodicTests, ScheduleStartOfADayOrMore_WarnsIsNotStoredAndKeepsItsText) {
  for (const char* typed : {"24:00", "23:60"}) {
    SCOPED_TRACE(typed);
    Page p;
    p.tests.RB_TestTypeClick(TestType::RB_TestAndromedaStyle);
    p.tests.SetText(Edit::ME_ScheduleStart, typed);
    p.tests.SetText(Edit::ME_AutoTest, "00:10");
    EXPECT_EQ(p.StoredFields(), (Fields{{258, 2}, {259, 10}}));
    ASSERT_EQ(p.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.dialogs.messages[0].text, kStartWarning);
    EXPECT_EQ(p.dialogs.messages[0].caption, kApplicationTitle);
    EXPECT_EQ(p.dialogs.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(p.tests.state().ME_ScheduleStart, typed);

    // Reloaded, the start is blank: the device uses 00:00.
    Page reloaded;
    EXPECT_EQ(reloaded.Load(p.Store()), 1);
    EXPECT_EQ(reloaded.tests.state().ME_ScheduleStart, "  :  ");
  }
}

TEST(PeriodicTests, OverridesLabel_NamesDirectionsWithTheirOwnPeriod) {
  Page p;
  p.tests.FormShow();
  EXPECT_EQ(p.tests.state().L_Overrides, "");
  p.directions.frame(4).CB_LocalPeriodClick(true);
  EXPECT_EQ(p.tests.state().L_Overrides, "");  // until the page is shown again
  p.tests.FormShow();
  EXPECT_EQ(p.tests.state().L_Overrides, "Направление 4 использует собственные настройки");
  p.directions.frame(4).CB_LocalPeriodClick(false);
  for (int n : {2, 5}) p.directions.frame(n).CB_LocalPeriodClick(true);  // boxes hidden: frames folded
  p.tests.FormShow();
  EXPECT_EQ(p.tests.state().L_Overrides, "Направления 2,5 используют собственные настройки");
  for (int n = 1; n <= kDirectionCount; ++n) p.directions.frame(n).CB_LocalPeriodClick(true);
  p.tests.UpdateOverridesLabel();
  EXPECT_EQ(p.tests.state().L_Overrides, "Направления 1,2,3,4,5,6 используют собственные настройки");
  for (int n = 1; n <= kDirectionCount; ++n) p.directions.frame(n).CB_LocalPeriodClick(false);
  p.tests.FormShow();
  EXPECT_EQ(p.tests.state().L_Overrides, "");

  // After a load the page set calls AfterLoad, once the directions are loaded.
  p.directions.frame(3).CB_LocalPeriodClick(true);
  p.Load({});
  EXPECT_EQ(p.tests.state().L_Overrides, "Направление 3 использует собственные настройки");
}

TEST(PeriodicTests, RoundTrip_EveryParameterComesBackByteIdentical_AndListing) {
  ConfigTree tree;
  tree.PutInt(258, 2);
  tree.PutInt(259, 135);
  tree.PutInt(260, 1200);
  tree.PutInt(261, 1);
  tree.PutInt(262, 300);
  const std::vector<uint8_t> bytes = EncodeConfig(tree);
  Page p;
  ASSERT_EQ(p.Load(bytes), 1);
  EXPECT_EQ(p.Store(), bytes);
  EXPECT_TRUE(p.dialogs.messages.empty());

  std::vector<SettingValue> list;
  p.tests.ListSettings(list);
  EXPECT_EQ(list, (std::vector<SettingValue>{{"tests.GroupBox_Tests", "RB_TestAndromedaStyle"},
                                             {"tests.ME_AutoTest", "02:15"},
                                             {"tests.ME_ScheduleStart", "20:00"},
                                             {"tests.CB_EnableQT", "on"},
                                             {"tests.E_QT_Period", "300"}}));
}

}  // namespace
}  // namespace tamlo
