#include "pages/qt/loop_input_view.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "config/tagged_encoding.h"
#include "config/test_pages.h"
#include "pages/qt/event_code_picker_view.h"
#include "view_test_support.h"
#include "widgets/label_button.h"

namespace tamlo {
namespace {

using testing::ScriptedDialogs;

const std::vector<EventCodePickerRow> kRows = {{"130", "Тревога ; Восстановление"},
                                                {"301", "Нет сети 220 В"},
                                                {"602", "Периодический тест"}};

// One input page with its own models.
struct Page {
  explicit Page(int input) : model(input), view(model, picker) {}
  QLineEdit* Edit(const char* name) { return view.findChild<QLineEdit*>(name); }
  QRadioButton* Radio(const char* name) { return view.findChild<QRadioButton*>(name); }
  bool EventBoxShown() { return !view.findChild<QGroupBox*>("GrpBx_Event")->isHidden(); }
  std::string Type() const {
    std::vector<SettingValue> all;
    model.ListSettings(all);
    return all.at(0).value;  // inputs.N.GrpBx_LoopType comes first
  }

  ScriptedDialogs dialogs;
  EventCodePickerModel picker{dialogs, kRows};
  LoopInputModel model;
  TF_TamloLoop view;
};

using LoopInputViewTest = testing::PageViewTest;

// Runs `act` on the picker as soon as it runs modally; a picker that was not
// found or left open is cancelled so that the test cannot hang.
void WhenPickerOpens(std::function<void(TF_AdemcoList&)> act) {
  QTimer::singleShot(0, [act] {
    TF_AdemcoList* picker = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* p = qobject_cast<TF_AdemcoList*>(w); p && p->isVisible()) picker = p;
    if (!picker) {
      ADD_FAILURE() << "the picker did not open";
      return;
    }
    act(*picker);
    if (picker->isVisible()) {
      ADD_FAILURE() << "the picker stayed open";
      picker->reject();
    }
  });
}

TEST_F(LoopInputViewTest, TypeClicks_ShowTheMessageOnlyForContactsAndLoops) {
  const struct {
    int input;
    std::vector<const char*> clicks;
    const char* chosen;
    bool event_box;
  } cases[] = {
      {0, {}, "RB_Disabled", false},
      {0, {"RB_NormalOpen"}, "RB_NormalOpen", true},
      {0, {"RB_NormalClosed"}, "RB_NormalClosed", true},
      {0, {"RB_Resistance"}, "RB_Resistance", true},
      {0, {"RB_NormalOpen", "RB_Disabled"}, "RB_Disabled", false},
      {3, {}, "RB_Tamlo", false},
      {3, {"RB_NormalOpen"}, "RB_NormalOpen", true},
      {3, {"RB_NormalOpen", "RB_Tamlo"}, "RB_Tamlo", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.input) + " " + c.chosen);
    Page page(c.input);
    for (const char* click : c.clicks) page.Radio(click)->click();
    EXPECT_EQ(page.Type(), c.chosen);
    for (const auto& type : kLoopTypeButtons)
      EXPECT_EQ(page.Radio(type.control)->isChecked(), std::string_view(type.control) == c.chosen) << type.control;
    EXPECT_EQ(page.EventBoxShown(), c.event_box);
    // Only L4 can be the telephone repeater's input.
    EXPECT_EQ(page.Radio("RB_Tamlo")->isHidden(), c.input != kRepeaterInputIndex);
  }
}

TEST_F(LoopInputViewTest, Typing_ReachesModelAsContactIdDigits) {
  const struct {
    const char* control;
    const char* typed;
    const char* stored;
  } cases[] = {
      {"E_Event", "1A2B3", "12B"},  // the edits start at their defaults: cleared first
      {"E_Partition", "f0f", "f0"},
      {"E_Zone", "0a0C4", "00C"},
  };
  Page page(0);
  page.Radio("RB_NormalOpen")->click();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control);
    QLineEdit* edit = page.Edit(c.control);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    testing::TypeText(*edit, c.typed);
    EXPECT_EQ(edit->text(), c.stored);
  }
  std::vector<SettingValue> all;
  page.model.ListSettings(all);
  EXPECT_EQ(all, (std::vector<SettingValue>{{"inputs.1.GrpBx_LoopType", "RB_NormalOpen"},
                                            {"inputs.1.E_Event", "12B"},
                                            {"inputs.1.E_Partition", "f0"},
                                            {"inputs.1.E_Zone", "00C"}}));
}

TEST_F(LoopInputViewTest, LoadedGroup_ShownWhole) {
  Page page(2);
  EXPECT_EQ(page.Edit("E_Event")->text(), "301");
  EXPECT_EQ(page.Edit("E_Partition")->text(), "00");
  EXPECT_EQ(page.Edit("E_Zone")->text(), "003");
  ASSERT_EQ(page.model.LoadGroupField(kFieldInteger, kLoopTypeId, 2, nullptr, 0, 2), 1);
  ASSERT_EQ(page.model.LoadGroupField(kFieldInteger, kLoopEventId, 0x12B, nullptr, 0, 2), 1);
  ASSERT_EQ(page.model.LoadGroupField(kFieldInteger, kLoopPartitionId, 0x1F, nullptr, 0, 2), 1);
  ASSERT_EQ(page.model.LoadGroupField(kFieldInteger, kLoopZoneId, 0x12345, nullptr, 0, 2), 1);
  page.view.ShowModel();
  EXPECT_TRUE(page.Radio("RB_NormalClosed")->isChecked());
  EXPECT_FALSE(page.Radio("RB_Disabled")->isChecked());
  EXPECT_TRUE(page.EventBoxShown());
  EXPECT_EQ(page.Edit("E_Event")->text(), "12B");
  EXPECT_EQ(page.Edit("E_Partition")->text(), "1F");
  EXPECT_EQ(page.Edit("E_Zone")->text(), "12345");
}

TEST_F(LoopInputViewTest, ReferenceList_ChosenCodeBecomesTheEventCode_OnlyIt) {
  const auto list = [](TF_AdemcoList& d) { return d.findChild<QTableWidget*>("VL_List"); };
  const auto button = [](TF_AdemcoList& d, const char* name) { return d.findChild<QPushButton*>(name); };
  const struct {
    const char* name;
    Qt::Key open_key;  // Key_unknown: a mouse click on the link
    std::function<void(TF_AdemcoList&)> act;
    const char* event;
  } cases[] = {
      {"select row 3", Qt::Key_unknown,
       [&](TF_AdemcoList& d) {
         list(d)->setCurrentCell(2, 1);
         QTest::mouseClick(button(d, "B_Select"), Qt::LeftButton);
       },
       "602"},
      {"Enter on the first row", Qt::Key_Space, [&](TF_AdemcoList& d) { QTest::keyClick(list(d), Qt::Key_Return); },
       "130"},
      {"cancel", Qt::Key_Return, [&](TF_AdemcoList& d) { QTest::mouseClick(button(d, "B_Cancel"), Qt::LeftButton); },
       "1E"},
      {"Escape", Qt::Key_unknown, [&](TF_AdemcoList& d) { QTest::keyClick(list(d), Qt::Key_Escape); }, "1E"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Page page(0);
    page.Radio("RB_Resistance")->click();
    page.model.SetText(LoopEdit::E_Event, "1E");
    page.model.SetText(LoopEdit::E_Zone, "7");
    page.view.ShowModel();
    WhenPickerOpens(c.act);
    auto* link = page.view.findChild<LabelButton*>("L_ViewMsgList");
    if (c.open_key == Qt::Key_unknown)
      QTest::mouseClick(link, Qt::LeftButton);
    else
      QTest::keyClick(link, c.open_key);
    EXPECT_EQ(page.Edit("E_Event")->text(), c.event);
    EXPECT_EQ(page.Edit("E_Partition")->text(), "00");
    EXPECT_EQ(page.Edit("E_Zone")->text(), "7");
    std::vector<SettingValue> all;
    page.model.ListSettings(all);
    EXPECT_EQ(all.at(1).value, c.event);
  }
}

TEST_F(LoopInputViewTest, Controls_NamedForScreenReadersAndReachedByTab) {
  Page page(3);
  for (const auto& rule : kLoopEditRules) testing::ExpectLabelledByRule(page.view, rule);
  for (const auto& type : kLoopTypeButtons) {
    SCOPED_TRACE(type.control);
    QRadioButton* radio = page.Radio(type.control);
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->text(), QString::fromUtf8(type.caption));
    EXPECT_EQ(radio->toolTip(), QString::fromUtf8(type.hint));
  }
  for (const char* name : {"GrpBx_LoopType", "GrpBx_Event"}) {
    auto* group = page.view.findChild<QGroupBox*>(name);
    ASSERT_NE(group, nullptr) << name;
    EXPECT_EQ(group->accessibleName(), group->title());
  }
  auto* link = page.view.findChild<LabelButton*>("L_ViewMsgList");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->text(), QString::fromUtf8(kViewMsgListCaption));
  EXPECT_TRUE(link->focusPolicy() & Qt::TabFocus);
  EXPECT_EQ(page.Edit("E_Event")->nextInFocusChain(), link);
}

}  // namespace
}  // namespace tamlo
