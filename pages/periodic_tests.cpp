#include "pages/periodic_tests.h"

#include <algorithm>

#include "config/config_tree.h"
#include "config/setting_versions.h"
#include "config/tagged_encoding.h"
#include "pages/input_rules.h"

namespace tamlo {
namespace {

constexpr uint32_t kIdTestType = 258;
constexpr uint32_t kIdAutoTestPeriod = 259;
constexpr uint32_t kIdScheduleStart = 260;
constexpr uint32_t kIdQuickTests = 261;
constexpr uint32_t kIdQuickTestPeriod = 262;

constexpr int kMinutesPerDay = 1440;
constexpr int32_t kDefaultQtPeriod = 60;
constexpr int32_t kMinQtPeriod = 30;  // seconds, the shortest quick test period

constexpr const char* kScheduleStartWarning =
    "Некорректное значение времени начала расписания. Будет использоваться 00:00.";

const char* TestTypeName(TestType type) {
  switch (type) {
    case TestType::RB_TestOptimal: return "RB_TestOptimal";
    case TestType::RB_TestAndromedaStyle: return "RB_TestAndromedaStyle";
    case TestType::RB_TestOff: break;
  }
  return "RB_TestOff";
}

}  // namespace

PeriodicTestsModel::PeriodicTestsModel(UserDialogs& dialogs, const DeliveryDirectionsModel& directions)
    : m_dialogs(dialogs), m_directions(directions) {}

void PeriodicTestsModel::RB_TestTypeClick(TestType chosen) {
  m_state.GroupBox_Tests = chosen;
  UpdateTestTypeVisibility();
}

void PeriodicTestsModel::UpdateTestTypeVisibility() {
  const bool on = m_state.GroupBox_Tests != TestType::RB_TestOff;
  m_state.visible.ME_AutoTest = on;
  m_state.visible.L_Overrides = on;
  m_state.visible.ME_ScheduleStart = m_state.GroupBox_Tests == TestType::RB_TestAndromedaStyle;
}

void PeriodicTestsModel::SetText(Edit edit, std::string text) {
  switch (edit) {
    case Edit::ME_AutoTest: m_state.ME_AutoTest = std::move(text); break;
    case Edit::ME_ScheduleStart: m_state.ME_ScheduleStart = std::move(text); break;
    case Edit::E_QT_Period: m_state.E_QT_Period = std::move(text); break;
  }
}

void PeriodicTestsModel::CB_EnableQTClick(bool ticked) {
  m_state.CB_EnableQT = ticked;
  m_state.visible.E_QT_Period = ticked;
}

void PeriodicTestsModel::E_QT_PeriodExit() {
  if (TrimText(m_state.E_QT_Period).empty()) {
    m_state.E_QT_Period = std::to_string(kDefaultQtPeriod);
  } else if (EditIntValue(m_state.E_QT_Period, kDefaultQtPeriod) < kMinQtPeriod) {
    m_state.E_QT_Period = std::to_string(kMinQtPeriod);
  }
}

void PeriodicTestsModel::UpdateOverridesLabel() {
  std::string list;
  int count = 0;
  for (int n = 1; n <= kDirectionCount; ++n) {
    if (!m_directions.LocalPeriodTicked(n)) continue;
    if (count++ > 0) list += ',';
    list += std::to_string(n);
  }
  if (count == 0) {
    m_state.L_Overrides.clear();
  } else if (count == 1) {
    m_state.L_Overrides = "Направление " + list + " использует собственные настройки";
  } else {
    m_state.L_Overrides = "Направления " + list + " используют собственные настройки";
  }
}

void PeriodicTestsModel::ResetToDefaults() {
  m_state = State{};
  m_state.L_Overrides.clear();
  UpdateTestTypeVisibility();
  CB_EnableQTClick(false);
}

int PeriodicTestsModel::LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t*, size_t, uint32_t) {
  if (kind != kFieldInteger) return 0;
  switch (id) {
    case kIdTestType:
      if (value < 0 || value > 2) return 0;
      RB_TestTypeClick(static_cast<TestType>(value));
      return 1;
    case kIdAutoTestPeriod:
      m_state.ME_AutoTest = FormatTimeField(value);
      return 1;
    case kIdScheduleStart:
      if (value < kMinutesPerDay) m_state.ME_ScheduleStart = FormatTimeField(value);
      return 1;
    case kIdQuickTests:
      CB_EnableQTClick(true);
      return 1;
    case kIdQuickTestPeriod:
      m_state.E_QT_Period = std::to_string(std::max(value == 0 ? kDefaultQtPeriod : value, kMinQtPeriod));
      return 1;
    default:
      return 0;
  }
}

void PeriodicTestsModel::StoreToConfig(ConfigTree& tree) {
  constexpr VersionedSetting kPeriodic = setting_versions::kPeriodicAutotest;
  constexpr VersionedSetting kScheduled = setting_versions::kScheduledAutotest;
  if (m_state.GroupBox_Tests == TestType::RB_TestOptimal) {
    tree.PutInt(kIdTestType, 1, kPeriodic.name, kPeriodic.min_version);
  } else if (m_state.GroupBox_Tests == TestType::RB_TestAndromedaStyle) {
    tree.PutInt(kIdTestType, 2, kScheduled.name, kScheduled.min_version);
  }
  if (const int period = ParseTimeField(m_state.ME_AutoTest); period != 0) tree.PutInt(kIdAutoTestPeriod, period);

  const int start = ParseTimeField(m_state.ME_ScheduleStart);
  if (start >= kMinutesPerDay) {
    // Not put below: the device then starts its schedule at 00:00, as the warning says.
    m_dialogs.ShowMessage(kScheduleStartWarning, kApplicationTitle, MessageIcon::Warning);
  }
  if (start > 0 && start < kMinutesPerDay) tree.PutInt(kIdScheduleStart, start);

  if (m_state.CB_EnableQT) tree.PutInt(kIdQuickTests, 1);
  if (const int32_t period = EditIntValue(m_state.E_QT_Period, kDefaultQtPeriod); period != kDefaultQtPeriod)
    tree.PutInt(kIdQuickTestPeriod, period);
}

void PeriodicTestsModel::ListSettings(std::vector<SettingValue>& out) const {
  out.push_back({"tests.GroupBox_Tests", TestTypeName(m_state.GroupBox_Tests)});
  out.push_back({"tests.ME_AutoTest", m_state.ME_AutoTest});
  out.push_back({"tests.ME_ScheduleStart", m_state.ME_ScheduleStart});
  out.push_back({"tests.CB_EnableQT", m_state.CB_EnableQT ? "on" : "off"});
  out.push_back({"tests.E_QT_Period", m_state.E_QT_Period});
}

SettingApply PeriodicTestsModel::ApplySetting(std::string_view name, std::string_view value) {
  if (!TakePrefix(name, "tests.")) return SettingApply::Unknown();
  if (name == "GroupBox_Tests") {
    constexpr TestType kTypes[] = {TestType::RB_TestOff, TestType::RB_TestOptimal, TestType::RB_TestAndromedaStyle};
    const auto item = [&](size_t i) { return std::string_view(TestTypeName(kTypes[i])); };
    const std::optional<size_t> chosen = FindItem(value, std::size(kTypes), item);
    if (!chosen) return RefusedItem(value, std::size(kTypes), item);
    RB_TestTypeClick(kTypes[*chosen]);
    return SettingApply::Applied();
  }
  if (name == "ME_AutoTest" || name == "ME_ScheduleStart") {
    if (auto refusal = TimeFieldRefusal(value)) return SettingApply::Refused(*refusal);
    SetText(name == "ME_AutoTest" ? Edit::ME_AutoTest : Edit::ME_ScheduleStart, std::string(value));
    return SettingApply::Applied();
  }
  if (name == "CB_EnableQT") {
    const std::optional<bool> tick = ParseTick(value);
    if (!tick) return RefusedTick(value);
    CB_EnableQTClick(*tick);
    return SettingApply::Applied();
  }
  if (name == "E_QT_Period") {
    if (auto refusal = TypingRefusal(value, kQtPeriodMaxLength, kQtPeriodKeyFilter, m_state.E_QT_Period))
      return SettingApply::Refused(*refusal);
    SetText(Edit::E_QT_Period, std::string(value));
    E_QT_PeriodExit();
    return SettingApply::Applied();
  }
  return SettingApply::Unknown();
}

}  // namespace tamlo
