#include "device/phone_book_model.h"

#include <algorithm>

#include "tamlo_version.h"

namespace tamlo::device {

PhoneBookModel::PhoneBookModel(std::string path, FileSystem& files, UserDialogs& dialogs)
    : m_path(std::move(path)), m_files(files), m_dialogs(dialogs) {
  link::LoadedPhoneBook book = link::LoadPhoneBook(m_path, files);
  m_rows = std::move(book.rows);
  m_load_problem = std::move(book.problem);
  if (m_rows.empty()) m_rows.emplace_back();
}

void PhoneBookModel::FormShow() {
  m_result.reset();
  if (!m_load_problem.empty())
    m_dialogs.ShowMessage("Справочник не загружен: " + m_load_problem +
                              ".\n\nИзменения справочника не будут сохранены, чтобы не затереть записи этого файла.",
                          kApplicationTitle, MessageIcon::Error);
}

void PhoneBookModel::InsertRow(size_t row) {
  m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(std::min(row, m_rows.size())), link::PhoneBookRow{});
}

void PhoneBookModel::DeleteRow(size_t row) {
  if (row >= m_rows.size()) return;
  m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row));
  if (m_rows.empty()) m_rows.emplace_back();
}

void PhoneBookModel::SetPhone(size_t row, const std::string& text) {
  if (row >= m_rows.size()) return;
  m_rows[row].phone = text;
  std::erase(m_rows[row].phone, '=');
}

void PhoneBookModel::SetComment(size_t row, const std::string& text) {
  if (row < m_rows.size()) m_rows[row].comment = text;
}

bool PhoneBookModel::CanCall(size_t row) const {
  return row < m_rows.size() && !link::UsableNumber(m_rows[row].phone).empty();
}

bool PhoneBookModel::Call(size_t row) {
  if (!CanCall(row)) return false;
  m_result = DialTarget{link::UsableNumber(m_rows[row].phone), m_fast_connect};
  return true;
}

void PhoneBookModel::FormClose() {
  if (!m_load_problem.empty()) return;  // the user was told when the window was shown
  std::vector<link::PhoneBookRow> rows;
  std::copy_if(m_rows.begin(), m_rows.end(), std::back_inserter(rows),
               [](const link::PhoneBookRow& row) { return !row.phone.empty() || !row.comment.empty(); });
  std::string error;
  if (!link::SavePhoneBook(m_path, rows, error, m_files))
    m_dialogs.ShowMessage(error, kApplicationTitle, MessageIcon::Error);
}

}  // namespace tamlo::device
