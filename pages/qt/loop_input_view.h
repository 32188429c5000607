#pragma once
// TF_TamloLoop, the page of one wired input (L1..L4): the input type as radio
// buttons and the Contact ID message it sends (event code, partition, zone),
// shown from a LoopInputModel. "Справочник" opens the event code picker
// (TF_AdemcoList) on the picker model shared by the four input pages.
#include <array>

#include "pages/event_code_picker.h"
#include "pages/loop_input.h"
#include "pages/qt/page_view.h"

class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace tamlo {

class TF_TamloLoop : public PageView {
  Q_OBJECT
 public:
  // Both models outlive the view.
  TF_TamloLoop(LoopInputModel& model, EventCodePickerModel& picker, QWidget* parent = nullptr);

  void ShowModel() override;

 public slots:
  // Shows the picker modally, centred on the main window, and takes the code
  // chosen there as the event code.
  void L_ViewMsgListClick();

 private:
  LoopInputModel& m_model;
  EventCodePickerModel& m_picker;
  // In the order of kLoopTypeButtons and kLoopEditRules.
  std::array<QRadioButton*, kLoopTypeButtons.size()> m_types{};
  std::array<QLineEdit*, kLoopEditRules.size()> m_edits{};
  QGroupBox* m_eventBox = nullptr;
};

}  // namespace tamlo
