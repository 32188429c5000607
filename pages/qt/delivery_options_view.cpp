#include "pages/qt/delivery_options_view.h"

#include "pages/qt/page_controls.h"
#include "widgets/time_field_edit.h"

namespace tamlo {
namespace {

// Three rows: a caption of up to two lines on the left, its control on the right.
constexpr int kLabelLeft = 16;
constexpr int kLabelWidth = 420;
constexpr int kLabelHeight = 32;
constexpr int kControlLeft = 448;
constexpr int kControlHeight = 21;
constexpr int kRowTop = 24;
constexpr int kRowStep = 48;

QRect LabelAt(int row) { return {kLabelLeft, kRowTop + row * kRowStep, kLabelWidth, kLabelHeight}; }
QRect ControlAt(int row, int width) {
  return {kControlLeft, kRowTop + row * kRowStep + (kLabelHeight - kControlHeight) / 2, width, kControlHeight};
}

}  // namespace

TF_DelivOptions::TF_DelivOptions(DeliveryOptionsModel& model, QWidget* parent) : PageView(parent), m_model(model) {
  using Texts = DeliveryOptionsTexts;
  const auto& loops = DeliveryOptionsModel::kEditRules[0];
  m_one_sim_loops = AddRuleEdit(*this, loops, *AddRuleLabel(*this, loops, LabelAt(0)), ControlAt(0, 32));
  m_return_time = AddTimeField(*this, "ME_ReturnTime", Texts::ME_ReturnTimeHint,
                               *AddLabel(*this, "L_ReturnTime", Texts::L_ReturnTime, LabelAt(1)), ControlAt(1, 48));
  m_back_test_time =
      AddTimeField(*this, "ME_BackTestTime", Texts::ME_BackTestTimeHint,
                   *AddLabel(*this, "L_BackTestTime", Texts::L_BackTestTime, LabelAt(2)), ControlAt(2, 48));

  connect(m_one_sim_loops, &QLineEdit::textEdited, this, [this](const QString& text) {
    m_model.SetOneSimLoops(text.toStdString());
    ShowModel();
  });
  connect(m_one_sim_loops, &FilteredLineEdit::exited, this, [this] {
    m_model.E_DisableZeroExit();
    ShowModel();
  });
  connect(m_return_time, &TimeFieldEdit::fieldEdited, this, [this](const QString& text) {
    m_model.SetReturnTime(text.toStdString());
    ShowModel();
  });
  connect(m_back_test_time, &TimeFieldEdit::fieldEdited, this, [this](const QString& text) {
    m_model.SetBackTestTime(text.toStdString());
    ShowModel();
  });
  ShowModel();
}

void TF_DelivOptions::ShowModel() {
  const DeliveryOptionsState& state = m_model.state();
  ShowText(*m_one_sim_loops, state.E_OneSimLoops);
  ShowFieldText(*m_return_time, state.ME_ReturnTime);
  ShowFieldText(*m_back_test_time, state.ME_BackTestTime);
}

}  // namespace tamlo
