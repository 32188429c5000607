#pragma once
// The table of "Сравнить с прибором": the settings in which the pages and
// the device differ, one row each (setting, value in the pages, value in the
// device), shown modally over the main window.
#include <QDialog>

#include "device/device_seams.h"

class QTableWidget;

namespace tamlo {

class TF_Differences final : public QDialog, public device::DifferenceView {
 public:
  explicit TF_Differences(QWidget* main_window);

  void ShowDifferences(const std::vector<device::DifferenceRow>& rows) override;
  // Fills the table without showing the window (tests).
  void Fill(const std::vector<device::DifferenceRow>& rows);

 private:
  // Columns as wide as their contents, the window as wide as the columns.
  void FitColumns();

  QWidget* m_main_window = nullptr;
  QTableWidget* m_table = nullptr;
};

}  // namespace tamlo
