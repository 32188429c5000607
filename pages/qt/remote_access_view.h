#pragma once
// TF_RemoteAccess, the page "Удаленные подключения": whether the device
// accepts remote connections, the number of significant digits of a phone
// number, and the list of phones allowed to connect, each with a note.
//
// The list LIST_Phones edits its cells in place. Insert adds an empty row at
// the current row (at the end when there is none), Shift+Delete deletes the
// current row, and typing into an empty list starts its first row; the
// context menu PopupMenu1 offers the same two commands.
#include <optional>

#include "pages/qt/page_view.h"
#include "pages/remote_access.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QTableWidget;

namespace tamlo {

class FilteredLineEdit;

class TF_RemoteAccess final : public PageView {
  Q_OBJECT
 public:
  // The model outlives the view.
  explicit TF_RemoteAccess(RemoteAccessModel& model, QWidget* parent = nullptr);
  ~TF_RemoteAccess() override;

  void ShowModel() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildList();
  std::optional<size_t> CurrentRow() const;
  void InsertRow();
  void DeleteCurrentRow();
  void ShowRows();
  void CellEdited(int row, int column, const QString& text);

  RemoteAccessModel& m_model;
  QCheckBox* m_enable = nullptr;
  QLabel* m_max_phone_len_label = nullptr;
  FilteredLineEdit* m_max_phone_len = nullptr;
  QTableWidget* m_list = nullptr;
  QMenu* m_menu = nullptr;
};

}  // namespace tamlo
