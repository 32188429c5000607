#include "device/qt/phone_book_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include "device/qt/window_placement.h"

namespace tamlo {
namespace {

constexpr int kMargin = 8;
constexpr int kPhoneWidth = 150;
constexpr int kCommentWidth = 421;
constexpr int kRowHeight = 20;
// Both columns, the list's frame and a vertical scroll bar.
constexpr int kListWidth = kPhoneWidth + kCommentWidth + 24;
constexpr int kListHeight = 300;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 25;

}  // namespace

TF_Phonebook::TF_Phonebook(device::PhoneBookModel& model, QWidget* main_window)
    : m_model(model), m_main_window(main_window) {
  setObjectName(QStringLiteral("TF_Phonebook"));
  setWindowTitle(QString::fromUtf8(device::kPhoneBookCaption));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  m_list = new QTableWidget(0, 2, this);
  m_list->setObjectName(QStringLiteral("GR_Phones"));
  m_list->setAccessibleName(QString::fromUtf8(device::kPhoneBookCaption));
  m_list->setHorizontalHeaderLabels({QString::fromUtf8(device::kPhoneColumnTitle), QString::fromUtf8(device::kCommentColumnTitle)});
  m_list->verticalHeader()->hide();
  m_list->verticalHeader()->setDefaultSectionSize(kRowHeight);
  m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  m_list->setColumnWidth(0, kPhoneWidth);
  m_list->setColumnWidth(1, kCommentWidth);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  m_list->setWordWrap(false);
  m_list->setGeometry(kMargin, kMargin, kListWidth, kListHeight);
  m_list->installEventFilter(this);
  connect(m_list, &QTableWidget::cellChanged, this, &TF_Phonebook::CellEdited);
  connect(m_list, &QTableWidget::currentCellChanged, this, [this] { UpdateConnect(); });

  const int y = kMargin + kListHeight + kMargin;
  m_fast_connect = new QCheckBox(QString::fromUtf8(device::kFastConnectCaption), this);
  m_fast_connect->setObjectName(QStringLiteral("CB_FastConnect"));
  m_fast_connect->setToolTip(QString::fromUtf8(device::kFastConnectHint));
  m_fast_connect->setChecked(m_model.FastConnect());
  m_fast_connect->setGeometry(kMargin, y, kListWidth - 2 * kButtonWidth - 2 * kMargin, kButtonHeight);
  connect(m_fast_connect, &QCheckBox::toggled, this, [this](bool on) { m_model.SetFastConnect(on); });

  const int right = kMargin + kListWidth;
  m_connect = new QPushButton(QString::fromUtf8(device::kCallCaption), this);
  m_connect->setObjectName(QStringLiteral("B_Connect"));
  m_connect->setAutoDefault(false);
  m_connect->setGeometry(right - 2 * kButtonWidth - kMargin, y, kButtonWidth, kButtonHeight);
  connect(m_connect, &QPushButton::clicked, this, &TF_Phonebook::B_ConnectClick);
  auto* cancel = new QPushButton(QString::fromUtf8(device::kCancelCaption), this);
  cancel->setObjectName(QStringLiteral("B_Cancel"));
  cancel->setAutoDefault(false);
  cancel->setGeometry(right - kButtonWidth, y, kButtonWidth, kButtonHeight);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  setFixedSize(right + kMargin, y + kButtonHeight + kMargin);
  ShowRows();
  StayAbove(*this, m_main_window);
}

std::optional<device::DialTarget> TF_Phonebook::ChooseNumber() {
  m_model.FormShow();
  ShowRows();
  CentreOn(*this, m_main_window);
  exec();
  return m_model.Result();
}

void TF_Phonebook::done(int result) {
  // A cell still being typed into counts as edited.
  if (QWidget* editor = QApplication::focusWidget(); editor && editor != m_list && m_list->isAncestorOf(editor)) {
    emit m_list->itemDelegate()->commitData(editor);
    emit m_list->itemDelegate()->closeEditor(editor);
  }
  m_model.FormClose();
  QDialog::done(result);
}

void TF_Phonebook::B_ConnectClick() {
  if (m_model.Call(static_cast<size_t>(std::max(m_list->currentRow(), 0)))) accept();
}

void TF_Phonebook::ShowRows() {
  const QSignalBlocker blocker(m_list);
  const int current = m_list->currentRow();
  m_list->setRowCount(static_cast<int>(m_model.Rows().size()));
  for (int row = 0; row < m_list->rowCount(); ++row) ShowRow(row);
  m_list->setCurrentCell(std::clamp(current, 0, m_list->rowCount() - 1), std::max(m_list->currentColumn(), 0));
  UpdateConnect();
}

void TF_Phonebook::ShowRow(int row) {
  const link::PhoneBookRow& values = m_model.Rows()[static_cast<size_t>(row)];
  const QSignalBlocker blocker(m_list);
  for (int column = 0; column < 2; ++column) {
    const QString text = QString::fromStdString(column == 0 ? values.phone : values.comment);
    if (QTableWidgetItem* item = m_list->item(row, column))
      item->setText(text);
    else
      m_list->setItem(row, column, new QTableWidgetItem(text));
  }
}

void TF_Phonebook::CellEdited(int row, int column) {
  const std::string text = m_list->item(row, column)->text().toStdString();
  if (column == 0)
    m_model.SetPhone(static_cast<size_t>(row), text);
  else
    m_model.SetComment(static_cast<size_t>(row), text);
  ShowRow(row);  // the model may have refused part of the text
  UpdateConnect();
}

void TF_Phonebook::UpdateConnect() {
  m_connect->setEnabled(m_list->currentRow() >= 0 && m_model.CanCall(static_cast<size_t>(m_list->currentRow())));
}

bool TF_Phonebook::ListKey(const QKeyEvent& key) {
  const int current = std::max(m_list->currentRow(), 0);
  const size_t row = static_cast<size_t>(current);
  const link::PhoneBookRow& values = m_model.Rows()[row];
  if (key.key() == Qt::Key_Insert && key.modifiers() == Qt::NoModifier) {
    m_model.InsertRow(row);
  } else if (key.key() == Qt::Key_Down && key.modifiers() == Qt::NoModifier &&
             row + 1 == m_model.Rows().size() && !(values.phone.empty() && values.comment.empty())) {
    m_model.InsertRow(row + 1);
    ShowRows();
    m_list->setCurrentCell(current + 1, m_list->currentColumn());
    return true;
  } else if (key.key() == Qt::Key_Delete && key.modifiers() == Qt::ControlModifier) {
    m_model.DeleteRow(row);
  } else {
    return false;
  }
  ShowRows();
  return true;
}

bool TF_Phonebook::eventFilter(QObject* watched, QEvent* event) {
  // Keys typed into a cell's editor go to the editor, not to the list.
  if (watched == m_list && event->type() == QEvent::KeyPress)
    if (ListKey(*static_cast<QKeyEvent*>(event))) return true;
  return QDialog::eventFilter(watched, event);
}

}  // namespace tamlo
