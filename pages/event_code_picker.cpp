#include "pages/event_code_picker.h"

#include <utility>

#include "pages/page_model.h"

namespace tamlo {

EventCodePickerModel::EventCodePickerModel(UserDialogs& dialogs, std::vector<EventCodePickerRow> rows)
    : m_dialogs(dialogs), m_rows(std::move(rows)) {}

void EventCodePickerModel::FormShow() {
  m_open = true;
  if (m_rows.empty() && !m_warningShown) {
    m_dialogs.ShowMessage(kNoEventCodeListWarning, kApplicationTitle, MessageIcon::Warning);
    m_warningShown = true;
  }
}

void EventCodePickerModel::B_SelectClick(int current_row) {
  if (current_row >= 0 && static_cast<size_t>(current_row) < m_rows.size())
    m_selectedCode = m_rows[static_cast<size_t>(current_row)].code;
  m_open = false;
}

void EventCodePickerModel::B_CancelClick() { m_open = false; }

void EventCodePickerModel::ListDoubleClick(int current_row) { B_SelectClick(current_row); }

bool EventCodePickerModel::ListKeyDown(PickerKey key, int current_row) {
  switch (key) {
    case PickerKey::Enter: B_SelectClick(current_row); return true;
    case PickerKey::Escape: B_CancelClick(); return true;
    case PickerKey::Other: return false;
  }
  return false;
}

}  // namespace tamlo
