#pragma once
// The modal event code picker (TF_AdemcoList), "Справочник кодов Ademco":
// lists the known Contact ID event codes with their descriptions and lets the
// user pick one for an input's event code (loop_input.h).
//
// The caller builds the rows once from the event code list file ("ademco.txt",
// read by the main window at start-up; lines that are no entries are already
// dropped), in file order, equal codes kept. The model lives for the run, like
// the window: its warning about a missing list comes once per run.
//
// One use of the picker, from the input page's L_ViewMsgList:
//   picker.ClearSelectedCode();
//   picker.FormShow();            // may warn once; the picker opens anyway
//   ... the view runs modally until IsOpen() turns false after
//       B_SelectClick / B_CancelClick / ListDoubleClick / ListKeyDown ...
//   input.TakePickedEventCode(picker.SelectedCode());
#include <string>
#include <vector>

#include "config/user_interface.h"

namespace tamlo {

struct EventCodePickerRow {
  std::string code;   // three decimal digits, "130"
  std::string value;  // UTF-8 description: "Тревога ; Восстановление"
  bool operator==(const EventCodePickerRow&) const = default;
};

// The window's texts and VL_List's columns (not editable).
inline constexpr const char* kPickerCaption = "Справочник кодов Ademco";
inline constexpr const char* kPickerCodeTitle = "Код";
inline constexpr const char* kPickerCommentTitle = "Комментарий";
inline constexpr int kPickerCodeWidth = 52;
inline constexpr int kPickerCommentWidth = 759;
inline constexpr const char* kPickerSelectCaption = "Выбор";   // B_Select
inline constexpr const char* kPickerCancelCaption = "Отмена";  // B_Cancel

// Shown (warning icon, application title) at the first show of an empty list.
inline constexpr const char* kNoEventCodeListWarning =
    "Для использования справочника требуется файл \"Ademco.txt\" (список извещений) в каталоге с программой.";

// Keys that reach the list while it has the focus.
enum class PickerKey { Enter, Escape, Other };

class EventCodePickerModel {
 public:
  // FormCreate: VL_List holds `rows` in their order. The dialogs are borrowed
  // for the run.
  EventCodePickerModel(UserDialogs& dialogs, std::vector<EventCodePickerRow> rows);

  const std::vector<EventCodePickerRow>& VL_List() const { return m_rows; }
  // The code chosen at the last close by Select; empty after Cancel.
  const std::string& SelectedCode() const { return m_selectedCode; }
  bool WarningShown() const { return m_warningShown; }
  // True from FormShow until the picker closes.
  bool IsOpen() const { return m_open; }

  // The caller empties the choice before showing the picker.
  void ClearSelectedCode() { m_selectedCode.clear(); }

  // Showing: with an empty list, the warning above the first time in the run.
  void FormShow();

  // Select: SelectedCode becomes the code of `current_row` (0-based index
  // into VL_List; a row outside the list, such as -1 on an empty list,
  // chooses nothing); the picker closes.
  void B_SelectClick(int current_row);
  // Cancel: the picker closes, SelectedCode unchanged (empty).
  void B_CancelClick();

  // A double click on the list acts as Select.
  void ListDoubleClick(int current_row);
  // Enter acts as Select, Escape as Cancel; both are consumed (true), other
  // keys are left to the list (false).
  bool ListKeyDown(PickerKey key, int current_row);

 private:
  UserDialogs& m_dialogs;
  std::vector<EventCodePickerRow> m_rows;
  std::string m_selectedCode;
  bool m_warningShown = false;
  bool m_open = false;
};

}  // namespace tamlo
