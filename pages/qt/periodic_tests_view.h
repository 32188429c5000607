#pragma once
// TF_Autotests: the periodic tests page. The test type as three radio
// buttons, the test period and schedule start as time fields, the label that
// names the directions with their own test period (rebuilt each time the page
// is shown, as the directions page may have changed it), and the quick test
// group, which the page carries hidden.
#include <string_view>

#include "pages/periodic_tests.h"
#include "pages/qt/page_view.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;

namespace tamlo {

class FilteredLineEdit;
class TimeFieldEdit;

class TF_Autotests : public PageView {
  Q_OBJECT
 public:
  explicit TF_Autotests(PeriodicTestsModel& model, QWidget* parent = nullptr);

  void ShowModel() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildTestType();
  void BuildTimes();
  void BuildQuickTests();
  TimeFieldEdit* MakeTimeField(const char* control, PeriodicTestsModel::Edit edit, QLabel* label, int top,
                               std::string_view hint = {});
  void Reshow();

  PeriodicTestsModel& m_model;
  bool m_showing = false;  // ShowModel moves no change back into the model
  QButtonGroup* m_test_type = nullptr;
  QLabel* m_auto_test_label = nullptr;
  TimeFieldEdit* m_auto_test = nullptr;
  QLabel* m_schedule_label = nullptr;
  TimeFieldEdit* m_schedule = nullptr;
  QLabel* m_overrides = nullptr;
  QGroupBox* m_quick_tests = nullptr;
  QCheckBox* m_enable_qt = nullptr;
  QLabel* m_qt_label = nullptr;
  FilteredLineEdit* m_qt_period = nullptr;
};

}  // namespace tamlo
