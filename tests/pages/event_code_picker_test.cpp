#include "pages/event_code_picker.h"

#include <gtest/gtest.h>

#include "config/test_pages.h"
#include "pages/loop_input.h"

namespace tamlo {
namespace {

using testing::ScriptedDialogs;

const std::vector<EventCodePickerRow> kRows = {
    {"130", "Тревога ; Восстановление"}, {"130", "Тревога, второе описание"}, {"602", "Периодический тест"}};

TEST(EventCodePicker, EmptyList_WarnsAtFirstShowOnly_OpensAndSelectsNothing) {
  ScriptedDialogs dialogs;
  EventCodePickerModel picker(dialogs, {});
  for (int show = 0; show < 3; ++show) {
    picker.ClearSelectedCode();
    picker.FormShow();
    EXPECT_TRUE(picker.IsOpen());
    picker.B_SelectClick(0);
    EXPECT_FALSE(picker.IsOpen());
    EXPECT_EQ(picker.SelectedCode(), "");
  }
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "Для использования справочника требуется файл \"Ademco.txt\" (список извещений) в каталоге с программой.");
  EXPECT_EQ(dialogs.messages[0].caption, kApplicationTitle);
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Warning);
  EXPECT_TRUE(picker.WarningShown());

  EventCodePickerModel filled(dialogs, kRows);
  filled.FormShow();
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_FALSE(filled.WarningShown());
  EXPECT_EQ(filled.VL_List(), kRows);
}

TEST(EventCodePicker, SelectAndCancelByButtonsDoubleClickAndKeys) {
  enum class Act { Select, Cancel, DoubleClick, Enter, Escape, OtherKey };
  struct Case {
    Act act;
    int row;
    const char* code;  // SelectedCode afterwards
    bool open;
    bool consumed;  // keys only
  } cases[] = {
      {Act::Select, 2, "602", false, false},  {Act::Select, 3, "", false, false},
      {Act::Select, -1, "", false, false},    {Act::Cancel, 2, "", false, false},
      {Act::DoubleClick, 2, "602", false, false}, {Act::Enter, 1, "130", false, true},
      {Act::Escape, 2, "", false, true},      {Act::OtherKey, 2, "", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.act) * 10 + c.row);
    ScriptedDialogs dialogs;
    EventCodePickerModel picker(dialogs, kRows);
    picker.FormShow();
    bool consumed = false;
    switch (c.act) {
      case Act::Select: picker.B_SelectClick(c.row); break;
      case Act::Cancel: picker.B_CancelClick(); break;
      case Act::DoubleClick: picker.ListDoubleClick(c.row); break;
      case Act::Enter: consumed = picker.ListKeyDown(PickerKey::Enter, c.row); break;
      case Act::Escape: consumed = picker.ListKeyDown(PickerKey::Escape, c.row); break;
      case Act::OtherKey: consumed = picker.ListKeyDown(PickerKey::Other, c.row); break;
    }
    EXPECT_EQ(picker.SelectedCode(), c.code);
    EXPECT_EQ(picker.IsOpen(), c.open);
    EXPECT_EQ(consumed, c.consumed);
  }
}

// The input page's L_ViewMsgList: a code picked earlier must not come back
// after a later cancel.
TEST(EventCodePicker, SecondUseCancelled_InputKeepsItsEvent) {
  ScriptedDialogs dialogs;
  EventCodePickerModel picker(dialogs, kRows);
  LoopInputModel l2(1);
  const auto use = [&](bool select, int row) {
    picker.ClearSelectedCode();
    picker.FormShow();
    select ? picker.B_SelectClick(row) : picker.B_CancelClick();
    l2.TakePickedEventCode(picker.SelectedCode());
  };
  use(true, 2);
  EXPECT_EQ(l2.state().E_Event, "602");
  l2.SetText(LoopEdit::E_Event, "401");
  use(false, 0);
  EXPECT_EQ(l2.state().E_Event, "401");
}

}  // namespace
}  // namespace tamlo
