#pragma once
// The periodic tests page (TF_Autotests): whether the device sends automatic
// test messages and how (not at all, a period counted from the last event
// sent, or a daily schedule from a start time), and the quick UDP tests on
// the Kam-Net protocol, which the configuration carries but the page never
// shows (GroupBox_QuickTests is created hidden and stays so). L_Overrides
// names the delivery directions that use their own test period instead.
//
// Configuration, all at the top level (absent means default):
//   id   kind                 control           default  put when
//   258  integer 1 or 2       GroupBox_Tests    0, off   RB_TestOptimal: 1 ("Периодический автотест", 303)
//                                                        RB_TestAndromedaStyle: 2 ("Автотест по расписанию", 303)
//   259  integer, minutes     ME_AutoTest       0        not 0, whatever the test type
//   260  integer, minutes     ME_ScheduleStart  00:00    above 0 and below 1440, whatever the test type;
//        after midnight                                  24:00 or later warns and is not put
//   261  integer 1            CB_EnableQT       unticked ticked
//   262  integer, seconds     E_QT_Period       60       value not 60 (an empty text counts as 60)
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "config/user_interface.h"
#include "pages/delivery_directions.h"
#include "pages/page_model.h"

namespace tamlo {

// The radio group GroupBox_Tests; the value is what id 258 stores.
enum class TestType { RB_TestOff = 0, RB_TestOptimal = 1, RB_TestAndromedaStyle = 2 };

// Fixed captions and hints of the page.
struct PeriodicTestsTexts {
  static constexpr std::string_view GroupBox_Tests = "Автоматические тесты";
  static constexpr std::string_view RB_TestOff = "Не передаются";
  static constexpr std::string_view RB_TestOptimal = "Отсчитываются от последнего переданного события";
  static constexpr std::string_view RB_TestAndromedaStyle = "Передаются по расписанию";
  static constexpr std::string_view L_AutoTest = "Период автотеста (часы, минуты)";
  static constexpr std::string_view ME_AutoTestHint = "Если равен нулю, тест не передается";
  static constexpr std::string_view L_ScheduleStart = "Время начала расписания (часы, минуты)";
  static constexpr std::string_view GroupBox_QuickTests = "Быстрые тесты на IP-протоколах";
  static constexpr std::string_view CB_EnableQT = "Передавать быстрые UDP-тесты на протоколе Kam-Net";
  static constexpr std::string_view L_QT = "Период теста (секунд)";
};

class PeriodicTestsModel : public PageModel {
 public:
  // Controls whose visibility a rule changes; a label goes with its control
  // (L_AutoTest with ME_AutoTest, L_ScheduleStart with ME_ScheduleStart, L_QT
  // with E_QT_Period).
  struct Visible {
    bool ME_AutoTest = false;       // tests not off
    bool L_Overrides = false;       // tests not off
    bool ME_ScheduleStart = false;  // scheduled tests
    bool E_QT_Period = false;       // CB_EnableQT ticked (inside the hidden group)
    bool operator==(const Visible&) const = default;
  };

  struct State {
    TestType GroupBox_Tests = TestType::RB_TestOff;
    std::string ME_AutoTest = "  :  ";       // time fields: minutes as HH:MM, blank "  :  "
    std::string ME_ScheduleStart = "  :  ";
    std::string L_Overrides = "...";         // "..." until the first UpdateOverridesLabel
    bool CB_EnableQT = false;
    std::string E_QT_Period = "60";          // seconds
    Visible visible;
    bool operator==(const State&) const = default;
  };

  enum class Edit { ME_AutoTest, ME_ScheduleStart, E_QT_Period };

  // E_QT_Period takes 4 characters, DigitsOnlyFilter, and has its own
  // leaving rule (E_QT_PeriodExit). The time fields have the mask "99:99".
  static constexpr int kQtPeriodMaxLength = 4;
  static constexpr bool (*kQtPeriodKeyFilter)(char32_t) = DigitsOnlyFilter;

  // dialogs: the store's warning; directions: read by UpdateOverridesLabel.
  // Both outlive the page.
  PeriodicTestsModel(UserDialogs& dialogs, const DeliveryDirectionsModel& directions);

  const State& state() const { return m_state; }

  // Selects a test type and applies the radio click rule (visibility).
  void RB_TestTypeClick(TestType chosen);
  void SetText(Edit edit, std::string text);
  // Ticks or unticks CB_EnableQT; E_QT_Period shows exactly when ticked.
  void CB_EnableQTClick(bool ticked);
  // Leaving E_QT_Period: empty becomes "60", a value below 30 becomes "30".
  void E_QT_PeriodExit();

  // L_Overrides from the directions whose CB_LocalPeriod is ticked, shown or
  // not: empty for none, "Направление 4 использует собственные настройки",
  // "Направления 1,3 используют собственные настройки".
  void UpdateOverridesLabel();
  // The view calls this each time the page is shown: the directions may have
  // changed since.
  void FormShow() { UpdateOverridesLabel(); }

  // Tests off, time fields blank, quick tests unticked with period "60",
  // L_Overrides empty; visibility follows.
  void ResetToDefaults() override;
  // Ids 258..262 as integers (the table above); a test type other than 0, 1
  // or 2 is not taken, a schedule start of 1440 or more is taken and ignored,
  // a quick test period shows at least 30 (0 shows 60).
  int LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length,
                     uint32_t repeat) override;
  // Puts ids 258..262. A schedule start of 24:00 or later shows the warning
  // "Некорректное значение времени начала расписания. Будет использоваться
  // 00:00." and is not put; the field keeps its text.
  void StoreToConfig(ConfigTree& tree) override;
  // After a load the directions are known: rebuilds L_Overrides.
  void AfterLoad() override { UpdateOverridesLabel(); }
  // tests.GroupBox_Tests (the chosen button's name), tests.ME_AutoTest,
  // tests.ME_ScheduleStart, tests.CB_EnableQT, tests.E_QT_Period.
  void ListSettings(std::vector<SettingValue>& out) const override;
  // GroupBox_Tests takes a button's name, the time fields their mask,
  // E_QT_Period digits (then its leaving rule), CB_EnableQT "on"/"off".
  SettingApply ApplySetting(std::string_view name, std::string_view value) override;

 private:
  void UpdateTestTypeVisibility();

  UserDialogs& m_dialogs;
  const DeliveryDirectionsModel& m_directions;
  State m_state;
};

}  // namespace tamlo
