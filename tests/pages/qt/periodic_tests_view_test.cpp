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
#include "pages/delivery_directions.h"
#include "pages/periodic_tests.h"
#include "pages/qt/periodic_tests_view.h"
#include "widgets/filtered_line_edit.h"
#include "widgets/time_field_edit.h"

namespace tamlo {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "page_periodic_tests_view_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

struct Page {
  QApplication& app = App();  // before any widget
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
  // On the button's circle: the button is wider than its caption, and a
  // click beside the caption is no click on it.
  void Choose(const char* radio) const {
    auto* button = Get<QRadioButton>(radio);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
  }
  bool Shown(const char* control) const { return Get(control)->isVisibleTo(&view); }
  void TypeTime(const char* control, const char* digits) const {
    auto* field = Get<TimeFieldEdit>(control);
    field->setFocus(Qt::TabFocusReason);
    field->home(false);
    QTest::keyClicks(field, digits);
  }

  testing::ScriptedDialogs dialogs;
  DeliveryDirectionsModel directions;
  PeriodicTestsModel model{dialogs, directions};
  TF_Autotests view{model};
};

TEST(PeriodicTestsView, RadioClick_SelectsTheTypeAndShowsItsFields) {
  Page p;
  const struct {
    const char* button;
    TestType type;
    bool period;
    bool schedule;
  } cases[] = {
      {"RB_TestAndromedaStyle", TestType::RB_TestAndromedaStyle, true, true},
      {"RB_TestOptimal", TestType::RB_TestOptimal, true, false},
      {"RB_TestOff", TestType::RB_TestOff, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    p.Choose(c.button);
    EXPECT_EQ(p.model.state().GroupBox_Tests, c.type);
    EXPECT_TRUE(p.Get<QRadioButton>(c.button)->isChecked());
    EXPECT_EQ(p.Shown("ME_AutoTest"), c.period);
    EXPECT_EQ(p.Shown("L_AutoTest"), c.period);
    EXPECT_EQ(p.Shown("L_Overrides"), c.period);
    EXPECT_EQ(p.Shown("ME_ScheduleStart"), c.schedule);
    EXPECT_EQ(p.Shown("L_ScheduleStart"), c.schedule);
  }
}

TEST(PeriodicTestsView, TypedTimes_ReachTheModelAsTheFieldShowsThem) {
  Page p;
  p.Choose("RB_TestAndromedaStyle");
  const struct {
    const char* field;
    const char* digits;
    std::string PeriodicTestsModel::State::*text;
    const char* expected;
  } cases[] = {
      {"ME_AutoTest", "0130", &PeriodicTestsModel::State::ME_AutoTest, "01:30"},
      {"ME_ScheduleStart", "2", &PeriodicTestsModel::State::ME_ScheduleStart, "2 :  "},  // part-filled
      {"ME_ScheduleStart", "2500", &PeriodicTestsModel::State::ME_ScheduleStart, "25:00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.digits);
    p.TypeTime(c.field, c.digits);
    EXPECT_EQ(p.model.state().*c.text, c.expected);
  }
}

TEST(PeriodicTestsView, LoadedModel_ReachesTheWidgets) {
  Page p;
  p.directions.frame(2).CB_LocalPeriodClick(true);
  p.directions.frame(5).CB_LocalPeriodClick(true);
  p.model.ResetToDefaults();
  const struct {
    uint32_t id;
    int32_t value;
  } fields[] = {{258, 1}, {259, 90}, {260, 600}, {261, 1}, {262, 10}};
  for (const auto& f : fields) EXPECT_EQ(p.model.LoadFromConfig(0, f.id, f.value, nullptr, 0, 0), 1) << f.id;
  p.model.AfterLoad();
  p.view.ShowModel();

  EXPECT_TRUE(p.Get<QRadioButton>("RB_TestOptimal")->isChecked());
  EXPECT_EQ(p.Get<TimeFieldEdit>("ME_AutoTest")->FieldText(), "01:30");
  EXPECT_EQ(p.Get<TimeFieldEdit>("ME_ScheduleStart")->FieldText(), "10:00");
  EXPECT_FALSE(p.Shown("ME_ScheduleStart"));
  EXPECT_EQ(p.Get<QLabel>("L_Overrides")->text(), "Направления 2,5 используют собственные настройки");
  EXPECT_TRUE(p.Get<QCheckBox>("CB_EnableQT")->isChecked());
  EXPECT_EQ(p.Get<QLineEdit>("E_QT_Period")->text(), "30");
  // The quick tests keep their settings but never show.
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
  } steps[] = {
      {4, true, "Направление 4 использует собственные настройки"},
      {1, true, "Направления 1,4 используют собственные настройки"},
      {1, false, "Направление 4 использует собственные настройки"},
      {4, false, ""},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.label);
    // The user goes to the directions page and comes back.
    p.view.hide();
    p.directions.frame(s.direction).CB_LocalPeriodClick(s.ticked);
    p.view.show();
    EXPECT_EQ(p.Get<QLabel>("L_Overrides")->text(), s.label);
  }
}

TEST(PeriodicTestsView, LeavingQuickTestPeriod_AppliesItsRule) {
  Page p;
  // The group is never shown to the user; shown here so the edit takes focus.
  p.Get("GroupBox_QuickTests")->show();
  QTest::mouseClick(p.Get<QCheckBox>("CB_EnableQT"), Qt::LeftButton);
  ASSERT_TRUE(p.model.state().CB_EnableQT);
  auto* period = p.Get<FilteredLineEdit>("E_QT_Period");
  const struct {
    const char* keys;
    const char* typed;
    const char* left;
  } cases[] = {{"1x0", "10", "30"}, {"", "", "60"}, {"123456", "1234", "1234"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    period->setFocus(Qt::TabFocusReason);
    period->selectAll();
    QTest::keyClick(period, Qt::Key_Backspace);
    QTest::keyClicks(period, c.keys);
    EXPECT_EQ(p.model.state().E_QT_Period, c.typed);
    p.Get<QCheckBox>("CB_EnableQT")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(p.model.state().E_QT_Period, c.left);
    EXPECT_EQ(period->text().toStdString(), c.left);
  }
}

TEST(PeriodicTestsView, EveryField_NamedByItsLabel) {
  Page p;
  const struct {
    const char* label;
    const char* field;
  } pairs[] = {{"L_AutoTest", "ME_AutoTest"}, {"L_ScheduleStart", "ME_ScheduleStart"}, {"L_QT", "E_QT_Period"}};
  for (const auto& pair : pairs) {
    SCOPED_TRACE(pair.field);
    auto* label = p.Get<QLabel>(pair.label);
    EXPECT_FALSE(label->text().isEmpty());
    EXPECT_EQ(p.Get(pair.field)->accessibleName(), label->text());
    EXPECT_EQ(label->buddy(), p.Get(pair.field));
  }
  EXPECT_EQ(p.Get("ME_AutoTest")->toolTip(), "Если равен нулю, тест не передается");
  EXPECT_EQ(p.Get("L_AutoTest")->toolTip(), p.Get("ME_AutoTest")->toolTip());
  EXPECT_EQ(p.Get<QGroupBox>("GroupBox_Tests")->title(), "Автоматические тесты");
}

}  // namespace
}  // namespace tamlo
