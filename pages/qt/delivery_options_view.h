#pragma once
// TF_DelivOptions, the page "Параметры доставки": the passes over all
// delivery directions before the SIM card is switched, the time after which
// the device tries to return to the first direction, and the period of its
// check whether the preferred GPRS and LAN channels work again.
#include "pages/delivery_options.h"
#include "pages/qt/page_view.h"

namespace tamlo {

class FilteredLineEdit;
class TimeFieldEdit;

class TF_DelivOptions final : public PageView {
  Q_OBJECT
 public:
  // The model outlives the view.
  explicit TF_DelivOptions(DeliveryOptionsModel& model, QWidget* parent = nullptr);

  void ShowModel() override;

 private:
  DeliveryOptionsModel& m_model;
  FilteredLineEdit* m_one_sim_loops = nullptr;
  TimeFieldEdit* m_return_time = nullptr;
  TimeFieldEdit* m_back_test_time = nullptr;
};

}  // namespace tamlo
