#include "pages/qt/remote_access_view.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QTableWidget>

#include "pages/qt/page_controls.h"

namespace tamlo {
namespace {

constexpr int kPhoneColumn = 0;
constexpr int kNoteColumn = 1;
constexpr int kPhoneColumnWidth = 150;
constexpr int kNoteColumnWidth = 333;

// The list has no caption on the page; screen readers get this name instead.
constexpr std::string_view kListAccessibleName = "Телефоны для удаленного подключения";

bool IsInsertKey(const QKeyEvent& key) { return key.key() == Qt::Key_Insert && key.modifiers() == Qt::NoModifier; }
bool IsDeleteRowKey(const QKeyEvent& key) {
  return key.key() == Qt::Key_Delete && key.modifiers() == Qt::ShiftModifier;
}
// A key that would start typing into a cell.
bool IsTyping(const QKeyEvent& key) {
  return !key.text().isEmpty() && key.text().front().isPrint() &&
         !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

void ShowCell(QTableWidget& list, int row, int column, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  QTableWidgetItem* item = list.item(row, column);
  if (!item)
    list.setItem(row, column, new QTableWidgetItem(shown));
  else if (item->text() != shown)
    item->setText(shown);
}

}  // namespace

TF_RemoteAccess::TF_RemoteAccess(RemoteAccessModel& model, QWidget* parent) : PageView(parent), m_model(model) {
  m_enable = new QCheckBox(ToQString(RemoteAccessTexts::CB_EnableAcs), this);
  m_enable->setObjectName(QStringLiteral("CB_EnableAcs"));
  m_enable->setGeometry(16, 16, 505, 20);

  const auto& digits = RemoteAccessModel::kEditRules[0];
  m_max_phone_len_label = AddRuleLabel(*this, digits, {16, 50, 300, 16});
  m_max_phone_len = AddRuleEdit(*this, digits, *m_max_phone_len_label, {320, 47, 32, 21});

  BuildList();

  connect(m_enable, &QCheckBox::clicked, this, [this](bool ticked) {
    m_model.SetEnableAcs(ticked);
    ShowModel();
  });
  connect(m_max_phone_len, &QLineEdit::textEdited, this, [this](const QString& text) {
    m_model.SetMaxPhoneLen(text.toStdString());
    ShowModel();
  });
  connect(m_max_phone_len, &FilteredLineEdit::exited, this, [this] {
    m_model.E_NumDisableZero();
    ShowModel();
  });
  ShowModel();
}

TF_RemoteAccess::~TF_RemoteAccess() {
  // A cell editor still open commits when the children are destroyed, after
  // this part of the page is gone: nothing of the list may reach it then.
  disconnect(m_list, nullptr, this, nullptr);
}

void TF_RemoteAccess::BuildList() {
  m_list = new QTableWidget(0, 2, this);
  m_list->setObjectName(QStringLiteral("LIST_Phones"));
  m_list->setGeometry(16, 80, 505, 345);
  m_list->setAccessibleName(ToQString(kListAccessibleName));
  m_list->setHorizontalHeaderLabels(
      {ToQString(RemoteAccessTexts::LIST_PhonesKeyTitle), ToQString(RemoteAccessTexts::LIST_PhonesValueTitle)});
  m_list->setColumnWidth(kPhoneColumn, kPhoneColumnWidth);
  m_list->setColumnWidth(kNoteColumn, kNoteColumnWidth);
  m_list->verticalHeader()->hide();
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  // Tab leaves the list for the next control; the arrows move between cells.
  m_list->setTabKeyNavigation(false);
  m_list->installEventFilter(this);
  connect(m_list, &QTableWidget::itemChanged, this,
          [this](QTableWidgetItem* item) { CellEdited(item->row(), item->column(), item->text()); });

  m_menu = new QMenu(this);
  m_menu->setObjectName(QStringLiteral("PopupMenu1"));
  QAction* insert = m_menu->addAction(ToQString(RemoteAccessTexts::InsertRowItem));
  insert->setObjectName(QStringLiteral("N_InsertRow"));
  QAction* remove = m_menu->addAction(ToQString(RemoteAccessTexts::DeleteRowItem));
  remove->setObjectName(QStringLiteral("N_DeleteRow"));
  connect(insert, &QAction::triggered, this, &TF_RemoteAccess::InsertRow);
  connect(remove, &QAction::triggered, this, &TF_RemoteAccess::DeleteCurrentRow);
  m_list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_list, &QWidget::customContextMenuRequested, this, [this, remove](const QPoint& at) {
    // The menu acts on the row it was opened over.
    const QModelIndex under = m_list->indexAt(at);
    if (under.isValid()) m_list->setCurrentIndex(under);
    remove->setEnabled(m_model.CanDeleteRow(CurrentRow()));
    m_menu->popup(m_list->viewport()->mapToGlobal(at));
  });
}

bool TF_RemoteAccess::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_list || event->type() != QEvent::KeyPress) return PageView::eventFilter(watched, event);
  const auto& key = *static_cast<QKeyEvent*>(event);
  if (IsInsertKey(key)) {
    InsertRow();
    return true;
  }
  if (IsDeleteRowKey(key)) {
    DeleteCurrentRow();
    return true;
  }
  if (IsTyping(key) && m_model.StartFirstRow()) {
    // The list opens the new row's cell with the character as it does for
    // any other row.
    ShowModel();
    m_list->setCurrentCell(0, kPhoneColumn);
  }
  return false;
}

std::optional<size_t> TF_RemoteAccess::CurrentRow() const {
  const int current = m_list->currentRow();
  if (current < 0) return std::nullopt;
  return static_cast<size_t>(current);
}

void TF_RemoteAccess::InsertRow() {
  const size_t at = m_model.InsertRowAt(CurrentRow());
  ShowModel();
  m_list->setCurrentCell(static_cast<int>(at), kPhoneColumn);
}

void TF_RemoteAccess::DeleteCurrentRow() {
  const std::optional<size_t> current = CurrentRow();
  if (!m_model.CanDeleteRow(current)) return;
  m_model.DeleteRow(*current);
  ShowModel();
}

void TF_RemoteAccess::CellEdited(int row, int column, const QString& text) {
  if (row < 0) return;
  const auto at = static_cast<size_t>(row);
  if (column == kPhoneColumn)
    m_model.SetPhone(at, text.toStdString());
  else
    m_model.SetNote(at, text.toStdString());
  ShowModel();
}

void TF_RemoteAccess::ShowRows() {
  const auto& rows = m_model.state().LIST_Phones;
  const QSignalBlocker block(m_list);
  m_list->setRowCount(static_cast<int>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i);
    ShowCell(*m_list, row, kPhoneColumn, rows[i].phone);
    ShowCell(*m_list, row, kNoteColumn, rows[i].note);
  }
}

void TF_RemoteAccess::ShowModel() {
  const RemoteAccessState& state = m_model.state();
  ShowTicked(*m_enable, state.CB_EnableAcs);
  ShowText(*m_max_phone_len, state.E_MaxPhoneLen);
  ShowRows();
  m_max_phone_len_label->setVisible(state.visible.L_MaxPhoneLen);
  m_max_phone_len->setVisible(state.visible.E_MaxPhoneLen);
  m_list->setVisible(state.visible.LIST_Phones);
}

}  // namespace tamlo
