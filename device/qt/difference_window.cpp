#include "device/qt/difference_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "device/qt/window_placement.h"

namespace tamlo {

TF_Differences::TF_Differences(QWidget* main_window) : m_main_window(main_window) {
  setObjectName(QStringLiteral("F_Differences"));
  setWindowTitle(QStringLiteral("Сравнение с прибором"));
  StayAbove(*this, main_window);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Настройки, которые отличаются от конфигурации в приборе:"), this));
  m_table = new QTableWidget(0, 3, this);
  m_table->setObjectName(QStringLiteral("TBL_Differences"));
  m_table->setHorizontalHeaderLabels(
      {QStringLiteral("Настройка"), QStringLiteral("На страницах"), QStringLiteral("В приборе")});
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->verticalHeader()->hide();
  m_table->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(m_table);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(640, 360);
}

void TF_Differences::Fill(const std::vector<device::DifferenceRow>& rows) {
  m_table->setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const device::DifferenceRow& d = rows[static_cast<size_t>(row)];
    const std::string* cells[] = {&d.setting, &d.pages_value, &d.device_value};
    for (int column = 0; column < 3; ++column)
      m_table->setItem(row, column, new QTableWidgetItem(QString::fromStdString(*cells[column])));
  }
  m_table->resizeColumnsToContents();
}

void TF_Differences::ShowDifferences(const std::vector<device::DifferenceRow>& rows) {
  Fill(rows);
  CentreOn(*this, m_main_window);
  exec();
}

}  // namespace tamlo
