#include "pages/qt/event_code_picker_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>

#include "pages/qt/page_controls.h"

namespace tamlo {
namespace {

// The list fits both columns and a vertical scroll bar; the buttons sit
// below it on the right.
constexpr int kMargin = 8;
constexpr int kListWidth = kPickerCodeWidth + kPickerCommentWidth + 24;
constexpr int kListHeight = 420;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 25;
constexpr int kRowHeight = 20;

PickerKey KeyOf(const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return PickerKey::Enter;
    case Qt::Key_Escape: return PickerKey::Escape;
    default: return PickerKey::Other;
  }
}

}  // namespace

TF_AdemcoList::TF_AdemcoList(EventCodePickerModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
  setObjectName(QStringLiteral("TF_AdemcoList"));
  setWindowTitle(ToQString(kPickerCaption));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  const std::vector<EventCodePickerRow>& rows = m_model.VL_List();
  m_list = new QTableWidget(static_cast<int>(rows.size()), 2, this);
  m_list->setObjectName(QStringLiteral("VL_List"));
  m_list->setAccessibleName(ToQString(kPickerCaption));
  m_list->setHorizontalHeaderLabels({ToQString(kPickerCodeTitle), ToQString(kPickerCommentTitle)});
  m_list->verticalHeader()->hide();
  m_list->verticalHeader()->setDefaultSectionSize(kRowHeight);
  m_list->setColumnWidth(0, kPickerCodeWidth);
  m_list->setColumnWidth(1, kPickerCommentWidth);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setTabKeyNavigation(false);
  m_list->setWordWrap(false);
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i);
    m_list->setItem(row, 0, new QTableWidgetItem(ToQString(rows[i].code)));
    m_list->setItem(row, 1, new QTableWidgetItem(ToQString(rows[i].value)));
  }
  if (!rows.empty()) m_list->setCurrentCell(0, 0);
  m_list->setGeometry(kMargin, kMargin, kListWidth, kListHeight);
  m_list->installEventFilter(this);
  connect(m_list, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    m_model.ListDoubleClick(row);
    CloseWhenModelClosed();
  });

  const int button_y = kMargin + kListHeight + kMargin;
  const int right = kMargin + kListWidth;
  auto* select = new QPushButton(ToQString(kPickerSelectCaption), this);
  select->setObjectName(QStringLiteral("B_Select"));
  select->setGeometry(right - 2 * kButtonWidth - kMargin, button_y, kButtonWidth, kButtonHeight);
  connect(select, &QPushButton::clicked, this, &TF_AdemcoList::B_SelectClick);
  auto* cancel = new QPushButton(ToQString(kPickerCancelCaption), this);
  cancel->setObjectName(QStringLiteral("B_Cancel"));
  cancel->setGeometry(right - kButtonWidth, button_y, kButtonWidth, kButtonHeight);
  connect(cancel, &QPushButton::clicked, this, &TF_AdemcoList::B_CancelClick);

  setFixedSize(right + kMargin, button_y + kButtonHeight + kMargin);
}

void TF_AdemcoList::B_SelectClick() {
  m_model.B_SelectClick(m_list->currentRow());
  CloseWhenModelClosed();
}

void TF_AdemcoList::B_CancelClick() {
  m_model.B_CancelClick();
  CloseWhenModelClosed();
}

void TF_AdemcoList::reject() {
  m_model.B_CancelClick();
  QDialog::reject();
}

void TF_AdemcoList::CloseWhenModelClosed() {
  if (m_model.IsOpen()) return;
  if (m_model.SelectedCode().empty())
    QDialog::reject();
  else
    QDialog::accept();
}

void TF_AdemcoList::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window restored by the system is no new opening of the picker.
  if (!event->spontaneous()) m_model.FormShow();
}

bool TF_AdemcoList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_list && event->type() == QEvent::KeyPress) {
    if (m_model.ListKeyDown(KeyOf(*static_cast<QKeyEvent*>(event)), m_list->currentRow())) {
      CloseWhenModelClosed();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tamlo
