#include "pages/remote_access.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "config/config_tree.h"
#include "config/cp1251.h"
#include "config/tagged_encoding.h"

namespace tamlo {
namespace {

constexpr uint32_t kIdGroup = 3;
constexpr uint32_t kIdEnable = 1;
constexpr uint32_t kIdMaxPhoneLen = 2;
constexpr uint32_t kIdPhone = 3;
constexpr uint32_t kIdNote = 4;

constexpr int32_t kDefaultDigits = 10;

// A list row as one text: "phone | note". A "|" inside the phone or the note
// is doubled, so the first single "|" with a blank before it is always the
// one between the two and no text of one can slip into the other.
std::string RowCell(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '|') out += '|';
    out += c;
  }
  return out;
}

struct RowCells {
  std::string phone, note;
};

// The phone and note of a row text, "||" in either giving one "|": split at
// the first single "|" that has a blank before it and a blank or the end
// after it (the end: "phone |", typed without a note). Any other single "|"
// is taken as it is, so a row written before "|" was doubled reads as then:
// "812 | дом | дача" is the phone 812 and the note "дом | дача". None when
// the text has no such separator.
std::optional<RowCells> SplitRow(std::string_view text) {
  RowCells cells;
  std::string* cell = &cells.phone;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '|' && i + 1 < text.size() && text[i + 1] == '|') {
      *cell += '|';
      ++i;
    } else if (c == '|' && cell == &cells.phone && i > 0 && text[i - 1] == ' ' &&
               (i + 1 == text.size() || text[i + 1] == ' ')) {
      cells.phone.pop_back();  // the blank before the separator
      cell = &cells.note;
      ++i;                     // and the one after it
    } else {
      *cell += c;
    }
  }
  if (cell == &cells.phone) return std::nullopt;
  return cells;
}

}  // namespace

void RemoteAccessModel::SetEnableAcs(bool ticked) {
  m_state.CB_EnableAcs = ticked;
  CB_EnableAcsClick();
}

void RemoteAccessModel::CB_EnableAcsClick() {
  const bool shown = m_state.CB_EnableAcs;
  m_state.visible.L_MaxPhoneLen = shown;
  m_state.visible.E_MaxPhoneLen = shown;
  m_state.visible.LIST_Phones = shown;
}

void RemoteAccessModel::E_NumDisableZero() {
  m_state.E_MaxPhoneLen = ZeroToDefault(m_state.E_MaxPhoneLen, kEditRules[0].leave_default);
}

bool RemoteAccessModel::SetPhone(size_t row, std::string text) {
  if (row >= RowCount()) return false;
  m_state.LIST_Phones[row].phone = std::move(text);
  return true;
}

bool RemoteAccessModel::SetNote(size_t row, std::string text) {
  if (row >= RowCount()) return false;
  m_state.LIST_Phones[row].note = std::move(text);
  return true;
}

void RemoteAccessModel::InsertRow(size_t at) {
  auto& rows = m_state.LIST_Phones;
  rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(std::min(at, rows.size())), PhoneRow{});
}

bool RemoteAccessModel::DeleteRow(size_t row) {
  if (row >= RowCount()) return false;
  m_state.LIST_Phones.erase(m_state.LIST_Phones.begin() + static_cast<std::ptrdiff_t>(row));
  return true;
}

size_t RemoteAccessModel::InsertRowAt(std::optional<size_t> current) {
  const size_t at = std::min(current.value_or(RowCount()), RowCount());
  InsertRow(at);
  return at;
}

bool RemoteAccessModel::StartFirstRow() {
  if (RowCount() != 0) return false;
  InsertRow(0);
  return true;
}

void RemoteAccessModel::ResetToDefaults() {
  m_state.CB_EnableAcs = false;
  CB_EnableAcsClick();
  m_state.E_MaxPhoneLen = std::to_string(kDefaultDigits);
  m_state.LIST_Phones.clear();
}

int RemoteAccessModel::LoadFromConfig(int kind, uint32_t id, int32_t, const uint8_t* data, size_t length,
                                      uint32_t) {
  if (kind != kFieldGroup || id != kIdGroup) return 0;
  return WalkConfig(data, length, [this](uint32_t code, int32_t v, const uint8_t* d, size_t n, uint32_t r) {
    return LoadGroupField(code, v, d, n, r);
  });
}

int RemoteAccessModel::LoadGroupField(uint32_t code, int32_t value, const uint8_t* data, size_t length,
                                      uint32_t repeat) {
  switch (code) {
    case FieldCode(kIdEnable, kFieldInteger):
      SetEnableAcs(value != 0);
      return 1;
    case FieldCode(kIdMaxPhoneLen, kFieldInteger):
      if (value != 0) m_state.E_MaxPhoneLen = std::to_string(value);
      return 1;
    case FieldCode(kIdPhone, kFieldText):
      RowForLoad(repeat).phone = FieldText(data, length);
      return 1;
    case FieldCode(kIdNote, kFieldText):
      RowForLoad(repeat).note = FieldText(data, length);
      return 1;
    default:
      return 0;
  }
}

// Phones and notes arrive apart (all phones first), so whichever comes first
// creates the row. The repeat index counts fields of the group, so the rows
// added stay within the size of the configuration.
PhoneRow& RemoteAccessModel::RowForLoad(uint32_t repeat) {
  auto& rows = m_state.LIST_Phones;
  if (rows.size() <= repeat) rows.resize(size_t{repeat} + 1);
  return rows[repeat];
}

void RemoteAccessModel::StoreToConfig(ConfigTree& tree) {
  ConfigTree group;
  if (m_state.CB_EnableAcs) group.PutInt(kIdEnable, 1);
  const int32_t digits = EditIntValue(m_state.E_MaxPhoneLen, kDefaultDigits);
  if (digits != 0 && digits != kDefaultDigits) group.PutInt(kIdMaxPhoneLen, digits);
  for (const PhoneRow& row : m_state.LIST_Phones) {
    // A note may be indented on purpose; a phone's blanks are never part of it.
    const std::string_view phone = TrimText(row.phone);
    const std::string_view note = TrimTextRight(row.note);
    if (phone.empty() && note.empty()) continue;
    group.PutString(kIdPhone, phone);
    group.PutString(kIdNote, note);
  }
  tree.PutGroup(kIdGroup, std::move(group));
}

void RemoteAccessModel::ListSettings(std::vector<SettingValue>& out) const {
  out.push_back({"remote.CB_EnableAcs", m_state.CB_EnableAcs ? "on" : "off"});
  out.push_back({"remote.E_MaxPhoneLen", m_state.E_MaxPhoneLen});
  for (size_t i = 0; i < m_state.LIST_Phones.size(); ++i) {
    const PhoneRow& row = m_state.LIST_Phones[i];
    out.push_back({"remote.LIST_Phones." + std::to_string(i + 1), RowCell(row.phone) + " | " + RowCell(row.note)});
  }
}

SettingApply RemoteAccessModel::ApplySetting(std::string_view name, std::string_view value) {
  if (!TakePrefix(name, "remote.")) return SettingApply::Unknown();
  if (name == "CB_EnableAcs") {
    const std::optional<bool> tick = ParseTick(value);
    if (!tick) return RefusedTick(value);
    SetEnableAcs(*tick);
    return SettingApply::Applied();
  }
  if (name == kEditRules[0].control)
    return ApplyTypedEdit(
        kEditRules, name, value, [this](Edit) -> const std::string& { return m_state.E_MaxPhoneLen; },
        [this](Edit, std::string text) {
          SetMaxPhoneLen(std::move(text));
          E_NumDisableZero();
        });
  if (!TakePrefix(name, "LIST_Phones.")) return SettingApply::Unknown();
  // A row number as listed: decimal, from 1, no leading zero.
  if (name.empty() || name[0] == '0' || name.size() > 6 ||
      name.find_first_not_of("0123456789") != std::string_view::npos)
    return SettingApply::Unknown();
  const size_t row = std::stoul(std::string(name));
  if (row > RowCount() + 1)
    return SettingApply::Refused("row " + std::to_string(row) + " would leave a gap: the list ends at row " +
                                 std::to_string(RowCount()));
  std::optional<RowCells> cells = SplitRow(value);
  if (!cells) return SettingApply::Refused("'" + std::string(value) + "' is no list row 'telephone | note'");
  const size_t index = row - 1;
  if (index == RowCount()) InsertRow(index);
  SetPhone(index, std::move(cells->phone));
  SetNote(index, std::move(cells->note));
  return SettingApply::Applied();
}

}  // namespace tamlo
