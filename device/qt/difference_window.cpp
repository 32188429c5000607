#include "device/qt/difference_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "device/qt/window_placement.h"
#include "widgets/page_look.h"

namespace tamlo {
namespace {

constexpr int kColumns = 3;
constexpr int kMinWidth = 480;
constexpr int kHeight = 360;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 25;
// Room the window leaves on its screen.
constexpr int kScreenMargin = 40;
constexpr int kMinSettingWidth = 120;

}  // namespace

TF_Differences::TF_Differences(QWidget* main_window) : m_main_window(main_window) {
  setObjectName(QStringLiteral("F_Differences"));
  setWindowTitle(QStringLiteral("Сравнение с прибором"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  StayAbove(*this, main_window);
  // The pages' look: teal, white bold text; the table white with teal text
  // like the pages' own lists, under a header in the same colours.
  ApplyPageLook(*this);
  QPalette look = palette();
  look.setColor(QPalette::ButtonText, Qt::white);
  setPalette(look);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Настройки, которые отличаются от конфигурации в приборе:"), this));
  m_table = new QTableWidget(0, kColumns, this);
  m_table->setObjectName(QStringLiteral("TBL_Differences"));
  m_table->setAccessibleName(QStringLiteral("Настройки, которые отличаются от прибора"));
  m_table->setHorizontalHeaderLabels(
      {QStringLiteral("Настройка"), QStringLiteral("На страницах"), QStringLiteral("В приборе")});
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setTabKeyNavigation(false);
  m_table->verticalHeader()->hide();
  m_table->horizontalHeader()->setStretchLastSection(true);
  QPalette table = m_table->palette();
  table.setColor(QPalette::ButtonText, kPageTeal);
  table.setColor(QPalette::Button, Qt::white);
  m_table->setPalette(table);
  layout->addWidget(m_table);

  auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
  close->setObjectName(QStringLiteral("B_Close"));
  close->setFlat(true);
  close->setFixedSize(kButtonWidth, kButtonHeight);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);
  buttons->addStretch();
  layout->addLayout(buttons);
  resize(kMinWidth, kHeight);
}

void TF_Differences::Fill(const std::vector<device::DifferenceRow>& rows) {
  m_table->setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const device::DifferenceRow& d = rows[static_cast<size_t>(row)];
    const std::string* cells[] = {&d.setting, &d.pages_value, &d.device_value};
    for (int column = 0; column < kColumns; ++column)
      m_table->setItem(row, column, new QTableWidgetItem(QString::fromStdString(*cells[column])));
    // The whole caption, should the column be too narrow for it.
    m_table->item(row, 0)->setToolTip(m_table->item(row, 0)->text());
  }
  FitColumns();
}

void TF_Differences::FitColumns() {
  // The window widens until every column shows whole, as far as its screen
  // allows; past that the setting's column gives way (its long captions end
  // in "..."), the values stay whole.
  const QAbstractItemView& view = *m_table;  // QTableView hides the public hint
  std::array<int, kColumns> needed{};
  int columns = 0;
  for (int column = 0; column < kColumns; ++column) {
    needed[column] = std::max(view.sizeHintForColumn(column), m_table->horizontalHeader()->sectionSizeHint(column));
    columns += needed[column];
  }
  const QMargins margins = layout()->contentsMargins();
  const int chrome = margins.left() + margins.right() + 2 * m_table->frameWidth() +
                     m_table->verticalScrollBar()->sizeHint().width();
  int width = std::max(kMinWidth, columns + chrome);
  const QScreen* screen = m_main_window ? m_main_window->screen() : QGuiApplication::primaryScreen();
  if (screen) width = std::min(width, screen->availableGeometry().width() - kScreenMargin);
  const int spare = width - chrome - columns;
  if (spare < 0) needed[0] = std::max(needed[0] + spare, kMinSettingWidth);
  for (int column = 0; column < kColumns; ++column) m_table->setColumnWidth(column, needed[column]);
  resize(width, height());
}

void TF_Differences::ShowDifferences(const std::vector<device::DifferenceRow>& rows) {
  Fill(rows);
  CentreOn(*this, m_main_window);
  exec();
}

}  // namespace tamlo
