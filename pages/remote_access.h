#pragma once
// The remote access page (TF_RemoteAccess, tree node "Удаленные подключения")
// as plain C++: whether the device accepts remote connections, the number of
// significant digits of a phone number, and the list of phone numbers allowed
// to connect, each with a free note.
//
// All settings form one group, id 3 at the top level, always put (an empty
// group encodes to nothing). Inside it (absent means the default):
//   id  value                                   default     put when
//   1   1: remote connection allowed            not ticked  ticked
//   2   significant digits                      10          not 0 and not 10
//   3   string, phone of a row, trimmed         no rows     phone or note of the row not empty
//   4   string, note of that row, right-trimmed             with its id 3
// Ids 3 and 4 go in pairs, one per stored row and even when empty (just the
// terminating zero), so the repeat index of each is the position of its row
// among the stored rows. Rows whose phone and note are both blank are skipped,
// so the rows after them move up. No setting carries a firmware version; the
// page shows no warnings.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/input_rules.h"
#include "pages/page_model.h"

namespace tamlo {

// One row of LIST_Phones (key "Телефон", value "Примечание"), texts as typed.
struct PhoneRow {
  std::string phone;
  std::string note;
  bool operator==(const PhoneRow&) const = default;
};

struct RemoteAccessState {
  bool CB_EnableAcs = false;
  std::string E_MaxPhoneLen = "10";   // decimal digits
  std::vector<PhoneRow> LIST_Phones;  // row 1 of the list is LIST_Phones[0]
  // Set by CB_EnableAcsClick: all three shown exactly when CB_EnableAcs is ticked.
  struct Visible {
    bool L_MaxPhoneLen = false;
    bool E_MaxPhoneLen = false;
    bool LIST_Phones = false;
    bool operator==(const Visible&) const = default;
  } visible;
  bool operator==(const RemoteAccessState&) const = default;
};

// Fixed captions of the page. The list's context menu names the keys that
// add and delete rows; its entries do the same.
struct RemoteAccessTexts {
  static constexpr std::string_view CB_EnableAcs = "Разрешить удаленное подключение к прибору";
  static constexpr std::string_view LIST_PhonesKeyTitle = "Телефон";
  static constexpr std::string_view LIST_PhonesValueTitle = "Примечание";
  static constexpr std::string_view InsertRowItem = "Новая строка (INS)";
  static constexpr std::string_view DeleteRowItem = "Удалить строку (Shift-DEL)";
};

class RemoteAccessModel : public PageModel {
 public:
  enum class Edit { E_MaxPhoneLen };
  static constexpr std::array<EditRule<Edit>, 1> kEditRules = {{
      {Edit::E_MaxPhoneLen, "E_MaxPhoneLen", "L_MaxPhoneLen", "Количество значащих цифр в номере телефона:", "", 2,
       DigitsOnlyFilter, "10"},  // leaving: E_NumDisableZero
  }};
  // The list's cells have no limit and no filter.

  RemoteAccessModel() = default;

  const RemoteAccessState& state() const { return m_state; }

  // Ticks or unticks CB_EnableAcs and runs its click rule.
  void SetEnableAcs(bool ticked);
  // The click rule: the digit count and the list are shown only while remote
  // connection is allowed. Hidden settings are still stored.
  void CB_EnableAcsClick();

  void SetMaxPhoneLen(std::string text) { m_state.E_MaxPhoneLen = std::move(text); }
  // Leaving E_MaxPhoneLen: an empty, zero or non-numeric text becomes "10".
  void E_NumDisableZero();

  // The list, rows counted from 0 here. A row index past the end changes
  // nothing and gives false; InsertRow past the end appends.
  size_t RowCount() const { return m_state.LIST_Phones.size(); }
  bool SetPhone(size_t row, std::string text);
  bool SetNote(size_t row, std::string text);
  void InsertRow(size_t at);
  bool DeleteRow(size_t row);

  // The list's commands on its current row (nullopt: none is current).
  // Insert (the key or the menu entry) adds an empty row at the current row,
  // or appends one when there is none, and gives the new row's index, which
  // becomes the current row.
  size_t InsertRowAt(std::optional<size_t> current);
  // Delete (Shift+Delete or the menu entry) is offered only while a row is
  // current.
  bool CanDeleteRow(std::optional<size_t> current) const { return current && *current < RowCount(); }
  // A character typed into an empty list starts its first row, which takes
  // the character (true); in a list with rows it changes nothing (false).
  bool StartFirstRow();

  void ResetToDefaults() override;
  // Takes every group field with id 3, whatever its repeat index, and returns
  // the result of walking its content; anything else gives 0. Inside the
  // group: integers 1 and 2 (2 only when not 0), and texts 3 and 4 with
  // repeat index r become the phone and note of row r, empty rows being
  // appended up to it. A text is taken up to its first zero byte.
  int LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length,
                     uint32_t repeat) override;
  void StoreToConfig(ConfigTree& tree) override;
  // remote.CB_EnableAcs, remote.E_MaxPhoneLen, then remote.LIST_Phones.N =
  // "phone | note" for every row, N from 1, with each "|" of the phone or
  // the note doubled.
  void ListSettings(std::vector<SettingValue>& out) const override;
  // CB_EnableAcs "on"/"off" with its click rule; E_MaxPhoneLen digits, then
  // its leaving rule; LIST_Phones.N "phone | note" (split at the first
  // single "|" between blanks, "||" being one "|" of the phone or the note;
  // "phone |" for an empty note) into row N, or a new row when N is one past
  // the last.
  SettingApply ApplySetting(std::string_view name, std::string_view value) override;

 private:
  int LoadGroupField(uint32_t code, int32_t value, const uint8_t* data, size_t length, uint32_t repeat);
  PhoneRow& RowForLoad(uint32_t repeat);

  RemoteAccessState m_state;
};

}  // namespace tamlo
