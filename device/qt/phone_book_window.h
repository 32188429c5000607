#pragma once
// TF_Phonebook, "Справочник номеров телефонов объектовых приборов": the
// numbers of the site devices the user calls through the modem, edited in a
// two-column list. device::PhoneBookModel holds the rows and the rules; this
// window shows them and writes the user's edits back.
#include <QDialog>
#include <string>

#include "device/device_seams.h"
#include "device/phone_book_model.h"

class QCheckBox;
class QKeyEvent;
class QPushButton;
class QTableWidget;

namespace tamlo {

class TF_Phonebook final : public QDialog, public device::PhoneBookPicker {
  Q_OBJECT
 public:
  // The model outlives the window; its rows fill the list here.
  TF_Phonebook(device::PhoneBookModel& model, QWidget* main_window);

  // Modal; the number chosen with "Вызов", or nothing.
  std::optional<device::DialTarget> ChooseNumber() override;

  // However the window closes, the rows go back to the file.
  void done(int result) override;

 public slots:
  void B_ConnectClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowRows();
  void ShowRow(int row);
  void CellEdited(int row, int column);
  void UpdateConnect();
  // Keys of the list that add and remove rows: Insert puts a row before the
  // current one, Down on a filled last row adds one after it, Ctrl+Delete
  // removes the current row.
  bool ListKey(const QKeyEvent& key);

  device::PhoneBookModel& m_model;
  QWidget* m_main_window = nullptr;
  QTableWidget* m_list = nullptr;
  QCheckBox* m_fast_connect = nullptr;
  QPushButton* m_connect = nullptr;
};

}  // namespace tamlo
