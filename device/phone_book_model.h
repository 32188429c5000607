#pragma once
// The modem phone book window (TF_Phonebook) without the window: the rows
// being edited, the fast connection check box, which rows can be called, the
// number chosen, and the save of every row when the window closes. The file
// itself is link/phone_book.h.
#include <optional>
#include <string>
#include <vector>

#include "config/file_system.h"
#include "config/user_interface.h"
#include "device/device_seams.h"
#include "link/phone_book.h"

namespace tamlo::device {

inline constexpr char kPhoneBookCaption[] = "Справочник номеров телефонов объектовых приборов";
inline constexpr char kPhoneColumnTitle[] = "Телефон";
inline constexpr char kCommentColumnTitle[] = "Комментарий";
inline constexpr char kFastConnectCaption[] = "Быстрое соединение (V.110)";
inline constexpr char kFastConnectHint[] =
    "Ускоряет соединение (уменьшается время звонка), но может работать не у всех операторов";
inline constexpr char kCallCaption[] = "Вызов";
inline constexpr char kCancelCaption[] = "Отмена";

class PhoneBookModel {
 public:
  // Loads the book at `path` once; a missing or unreadable file gives an
  // empty book. The list always has at least one row to type into. A book
  // file that is there but could not be read whole is never written back.
  PhoneBookModel(std::string path, FileSystem& files, UserDialogs& dialogs);

  const std::vector<link::PhoneBookRow>& Rows() const { return m_rows; }

  // Editing. A blank row goes in at `row` (at the end when past it); deleting
  // the only row leaves one blank row. The phone text never keeps "=": the
  // file separates phone and comment at the first "=", so one inside the
  // phone would move the rest of it into the comment on the next load.
  void InsertRow(size_t row);
  void DeleteRow(size_t row);
  void SetPhone(size_t row, const std::string& text);
  void SetComment(size_t row, const std::string& text);

  bool FastConnect() const { return m_fast_connect; }
  void SetFastConnect(bool on) { m_fast_connect = on; }

  // A new showing: no number chosen yet. When the book file could not be
  // read, the user is told why and that the list will not be saved.
  void FormShow();
  // "Вызов" is enabled for a row whose phone keeps a digit or "+" once
  // everything else is removed.
  bool CanCall(size_t row) const;
  // "Вызов": the row's number and the check box become the result. false
  // (nothing chosen, the window stays) for a row that cannot be called.
  bool Call(size_t row);
  // The window closes, however: every row is written back to the file; a
  // failure is shown with its text. Blank rows are not written. Nothing is
  // written over a file that could not be read.
  void FormClose();

  // The number to dial, or nothing when the window closed without a call.
  const std::optional<DialTarget>& Result() const { return m_result; }

 private:
  std::string m_path;
  FileSystem& m_files;
  UserDialogs& m_dialogs;
  std::vector<link::PhoneBookRow> m_rows;
  std::string m_load_problem;  // not empty: the file was not read, so it is not saved
  bool m_fast_connect = true;
  std::optional<DialTarget> m_result;
};

}  // namespace tamlo::device
