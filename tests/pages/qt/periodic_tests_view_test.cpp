// The periodic tests page on its model: radio clicks and typed times reach
// the model, a loaded configuration reaches the widgets, the overrides label
// follows the directions each time the page is shown, and the quick test
// group stays hidden.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include "config/test_pages.h"
#include "pages/qt/periodic_tests_view.h"
#include "widgets/time_field_edit.h"

namespace tamlo {
namespace {

using State = PeriodicTestsModel::State;

struct Page {
  testing::ScriptedDialogs dialogs;
  DeliveryDirectionsModel directions;
  PeriodicTestsModel model{dialogs, directions};
  TF_Autotests view{model};

  Page() {
    view.show();
    view.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&view));
  }
  template <typename T = QWidget>
  T* Get(const char* control) const {
    T* w = view.findChild<T*>(control);
    EXPECT_NE(w, nullptr) << control;
    return w;
  }
  bool Shown(const char* control) const { return Get(control)->isVisibleTo(&view); }
  // On the button's circle: a click beside its caption is no click on it.
  void Choose(const char* radio) const {
    QWidget* button = Get(radio);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
  }
  void Type(const char* control, const char* keys) const {
    auto* edit = Get<QLineEdit>(control);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    edit->home(false);
    QTest::keyClicks(edit, keys);
  }
};

TEST(PeriodicTestsView, RadioClick_SelectsTheTypeAndShowsItsFields) {
  Page p;
  const struct {
    const char* button;
    TestType type;
    bool period;
    bool schedule;
  } cases[] = {{"RB_TestAndromedaStyle", TestType::RB_TestAndromedaStyle, true, true},
               {"RB_TestOptimal", TestType::RB_TestOptimal, true, false},
               {"RB_TestOff", TestType::RB_TestOff, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    p.Choose(c.button);
    EXPECT_EQ(p.model.state().GroupBox_Tests, c.type);
    for (const char* control : {"ME_AutoTest", "L_AutoTest", "L_Overrides"})
      EXPECT_EQ(p.Shown(control), c.period) << control;
    for (const char* control : {"ME_ScheduleStart", "L_ScheduleStart"})
      EXPECT_EQ(p.Shown(control), c.schedule) << control;
  }
}

TEST(PeriodicTestsView, TypedTimesAndPeriod_ReachTheModel_LeavingThePeriodAppliesItsRule) {
  Page p;
  p.Choose("RB_TestAndromedaStyle");
  // The group is never shown to the user; shown here so its edit takes focus.
  p.Get("GroupBox_QuickTests")->show();
  QTest::mouseClick(p.Get("CB_EnableQT"), Qt::LeftButton);
  ASSERT_TRUE(p.model.state().CB_EnableQT);
  const struct {
    const char* control;
    const char* keys;
    std::string State::*text;
    const char* typed;
    const char* left;  // after the focus went on
  } cases[] = {{"ME_AutoTest", "0130", &State::ME_AutoTest, "01:30", "01:30"},
               {"ME_ScheduleStart", "2", &State::ME_ScheduleStart, "2 :  ", "2 :  "},  // part-filled
               {"E_QT_Period", "1x0", &State::E_QT_Period, "10", "30"},
               {"E_QT_Period", "", &State::E_QT_Period, "", "60"},
               {"E_QT_Period", "123456", &State::E_QT_Period, "1234", "1234"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    p.Type(c.control, c.keys);
    EXPECT_EQ(p.model.state().*c.text, c.typed);
    p.Get("CB_EnableQT")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(p.model.state().*c.text, c.left);
  }
  EXPECT_EQ(p.Get<QLineEdit>("E_QT_Period")->text(), "1234");
}

TEST(PeriodicTestsView, LoadedModel_ReachesTheWidgets_QuickTestsStayHidden) {
  Page p;
  p.directions.frame(2).CB_LocalPeriodClick(true);
  p.directions.frame(5).CB_LocalPeriodClick(true);
  p.model.ResetToDefaults();
  const std::pair<uint32_t, int32_t> fields[] = {{258, 1}, {259, 90}, {260, 600}, {261, 1}, {262, 10}};
  for (const auto& [id, value] : fields) EXPECT_EQ(p.model.LoadFromConfig(0, id, value, nullptr, 0, 0), 1) << id;
  p.model.AfterLoad();
  p.view.ShowModel();
  EXPECT_TRUE(p.Get<QRadioButton>("RB_TestOptimal")->isChecked());
  EXPECT_EQ(p.Get<TimeFieldEdit>("ME_AutoTest")->FieldText(), "01:30");
  EXPECT_EQ(p.Get<TimeFieldEdit>("ME_ScheduleStart")->FieldText(), "10:00");
  EXPECT_EQ(p.Get<QLabel>("L_Overrides")->text(), "Направления 2,5 используют собственные настройки");
  EXPECT_TRUE(p.Get<QCheckBox>("CB_EnableQT")->isChecked());
  EXPECT_EQ(p.Get<QLineEdit>("E_QT_Period")->text(), "30");
  EXPECT_FALSE(p.Shown("GroupBox_QuickTests"));
  EXPECT_TRUE(p.Get("E_QT_Period")->isVisibleTo(p.Get("GroupBox_QuickTests")));
}

TEST(PeriodicTestsView, ShowingThePage_RebuildsTheOverridesLabel) {
  Page p;
  p.Choose("RB_TestOptimal");
  const struct {
    int direction;
    bool ticked;
    const char* label;
  } steps[] = {{4, true, "Направление 4 использует собственные настройки"},
               {1, true, "Направления 1,4 используют собственные настройки"},
               {4, false, "Направление 1 использует собственные настройки"},
               {1, false, ""}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.label);
    p.view.hide();  // the user is on the directions page
    p.directions.frame(s.direction).CB_LocalPeriodClick(s.ticked);
    p.view.show();
    EXPECT_EQ(p.Get<QLabel>("L_Overrides")->text(), s.label);
  }
}

TEST(PeriodicTestsView, EveryField_NamedByItsLabel) {
  Page p;
  const std::pair<const char*, const char*> pairs[] = {
      {"L_AutoTest", "ME_AutoTest"}, {"L_ScheduleStart", "ME_ScheduleStart"}, {"L_QT", "E_QT_Period"}};
  for (const auto& [label_name, field_name] : pairs) {
    auto* label = p.Get<QLabel>(label_name);
    EXPECT_FALSE(label->text().isEmpty()) << label_name;
    EXPECT_EQ(p.Get(field_name)->accessibleName(), label->text()) << field_name;
    EXPECT_EQ(label->buddy(), p.Get(field_name)) << field_name;
  }
  EXPECT_EQ(p.Get("ME_AutoTest")->toolTip(), "Если равен нулю, тест не передается");
  EXPECT_EQ(p.Get("L_AutoTest")->toolTip(), p.Get("ME_AutoTest")->toolTip());
}

}  // namespace
}  // namespace tamlo
