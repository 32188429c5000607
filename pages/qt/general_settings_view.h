#pragma once
// TF_Obsh_Nastr, the general settings page: the site's account number with
// its two options, APN, login, password and PIN of each SIM card, and the
// device's access password, shown from a GeneralSettingsModel.
#include <array>

#include "pages/general_settings.h"
#include "pages/qt/page_view.h"

class QCheckBox;
class QLineEdit;

namespace tamlo {

class TF_Obsh_Nastr : public PageView {
  Q_OBJECT
 public:
  // The model outlives the view.
  explicit TF_Obsh_Nastr(GeneralSettingsModel& model, QWidget* parent = nullptr);

  void ShowModel() override;

 private:
  GeneralSettingsModel& m_model;
  // In the order of kGeneralEditRules and kGeneralCheckTexts.
  std::array<QLineEdit*, kGeneralEditRules.size()> m_edits{};
  std::array<QCheckBox*, kGeneralCheckTexts.size()> m_checks{};
};

}  // namespace tamlo
