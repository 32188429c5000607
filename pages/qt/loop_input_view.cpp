#include "pages/qt/loop_input_view.h"

#include <QGroupBox>
#include <QRadioButton>

#include "pages/qt/event_code_picker_view.h"
#include "pages/qt/page_controls.h"
#include "widgets/label_button.h"

namespace tamlo {
namespace {

// Layout of the page (pixels). A row is a 21-pixel edit with its label's
// text three pixels lower.
constexpr int kBoxX = 8;
constexpr int kBoxWidth = 521;
constexpr int kTypeBoxY = 8;
constexpr int kTypeRowY = 22;
constexpr int kTypeRowStep = 24;
constexpr int kEventBoxY = 164;
constexpr int kEventBoxHeight = 120;
constexpr int kEventRowY = 26;
constexpr int kEventRowStep = 30;

}  // namespace

TF_TamloLoop::TF_TamloLoop(LoopInputModel& model, EventCodePickerModel& picker, QWidget* parent)
    : PageView(parent), m_model(model), m_picker(picker) {
  setObjectName(QStringLiteral("TF_TamloLoop"));
  setWindowTitle(ToQString(kLoopInputTitles[static_cast<size_t>(model.InputIndex())]));

  auto* type_box = new QGroupBox(ToQString(kLoopTypeBoxCaption), this);
  type_box->setObjectName(QStringLiteral("GrpBx_LoopType"));
  type_box->setAccessibleName(type_box->title());
  type_box->setGeometry(kBoxX, kTypeBoxY, kBoxWidth, kTypeRowY + static_cast<int>(m_types.size()) * kTypeRowStep);
  for (size_t i = 0; i < m_types.size(); ++i) {
    const LoopTypeButton& type = kLoopTypeButtons[i];
    auto* radio = new QRadioButton(ToQString(type.caption), type_box);
    radio->setObjectName(ToQString(type.control));
    radio->setToolTip(ToQString(type.hint));
    radio->setGeometry(12, kTypeRowY + static_cast<int>(i) * kTypeRowStep, 480, 19);
    // clicked, not toggled: arrow keys move the choice by clicking as well,
    // and ShowModel's own checks must not come back as the user's.
    connect(radio, &QRadioButton::clicked, this, [this, button = type.button] {
      m_model.RB_LoopTypeClick(button);
      ShowModel();
    });
    m_types[i] = radio;
  }

  m_eventBox = new QGroupBox(ToQString(kLoopEventBoxCaption), this);
  m_eventBox->setObjectName(QStringLiteral("GrpBx_Event"));
  m_eventBox->setAccessibleName(m_eventBox->title());
  m_eventBox->setGeometry(kBoxX, kEventBoxY, kBoxWidth, kEventBoxHeight);
  for (size_t i = 0; i < m_edits.size(); ++i) {
    const EditRule<LoopEdit>& rule = kLoopEditRules[i];
    const int y = kEventRowY + static_cast<int>(i) * kEventRowStep;
    QLabel* label = AddRuleLabel(*m_eventBox, rule, QRect(12, y + 3, 170, 16));
    FilteredLineEdit* edit = AddRuleEdit(*m_eventBox, rule, *label, QRect(186, y, 48, 21));
    connect(edit, &QLineEdit::textEdited, this, [this, which = rule.edit](const QString& text) {
      m_model.SetText(which, text.toStdString());
      ShowModel();
    });
    m_edits[i] = edit;
  }

  auto* view_list = new LabelButton(ToQString(kViewMsgListCaption), m_eventBox);
  view_list->setObjectName(QStringLiteral("L_ViewMsgList"));
  view_list->setGeometry(250, kEventRowY + 3, 100, 16);
  connect(view_list, &LabelButton::clicked, this, &TF_TamloLoop::L_ViewMsgListClick);
  // After the event code, before the partition: the link belongs to the code.
  setTabOrder(m_edits[0], view_list);
  setTabOrder(view_list, m_edits[1]);

  ShowModel();
}

void TF_TamloLoop::ShowModel() {
  const LoopInputState& s = m_model.state();
  for (size_t i = 0; i < m_types.size(); ++i) {
    ShowTicked(*m_types[i], kLoopTypeButtons[i].button == s.GrpBx_LoopType);
    if (kLoopTypeButtons[i].button == LoopType::RB_Tamlo) m_types[i]->setVisible(s.RB_Tamlo_Visible);
  }
  m_eventBox->setVisible(s.GrpBx_Event_Visible);
  for (size_t i = 0; i < m_edits.size(); ++i) ShowText(*m_edits[i], m_model.Text(kLoopEditRules[i].edit));
}

void TF_TamloLoop::L_ViewMsgListClick() {
  m_picker.ClearSelectedCode();
  {
    // The main window is the dialog's parent, so it opens over its centre.
    TF_AdemcoList dialog(m_picker, window());
    dialog.exec();
  }
  m_model.TakePickedEventCode(m_picker.SelectedCode());
  ShowModel();
}

}  // namespace tamlo
