#include "pages/remote_access.h"

#include <algorithm>
#include <cstring>

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

// A walked text field: Windows-1251 bytes ending in a zero. Only the part
// before the first zero is the text, as the device reads it.
std::string TextField(const uint8_t* data, size_t length) {
  const char* text = reinterpret_cast<const char*>(data);
  const void* zero = std::memchr(text, 0, length);
  const size_t size = zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : length;
  return Cp1251ToUtf8(std::string_view(text, size));
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
      RowForLoad(repeat).phone = TextField(data, length);
      return 1;
    case FieldCode(kIdNote, kFieldText):
      RowForLoad(repeat).note = TextField(data, length);
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
    out.push_back({"remote.LIST_Phones." + std::to_string(i + 1), row.phone + " | " + row.note});
  }
}

}  // namespace tamlo
