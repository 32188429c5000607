#include "pages/qt/general_settings_view.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>

#include "pages/qt/labelled_edit.h"

namespace tamlo {
namespace {

const std::string& TextOf(const GeneralSettingsState& s, GeneralEdit edit) {
  switch (edit) {
    case GeneralEdit::E_Account: return s.E_Account;
    case GeneralEdit::E_Apn1: return s.E_Apn1;
    case GeneralEdit::E_Login_Apn1: return s.E_Login_Apn1;
    case GeneralEdit::E_Password_Apn1: return s.E_Password_Apn1;
    case GeneralEdit::E_Pin1: return s.E_Pin1;
    case GeneralEdit::E_Apn2: return s.E_Apn2;
    case GeneralEdit::E_Login_Apn2: return s.E_Login_Apn2;
    case GeneralEdit::E_Password_Apn2: return s.E_Password_Apn2;
    case GeneralEdit::E_Pin2: return s.E_Pin2;
    case GeneralEdit::E_DevicePassword: return s.E_DevicePassword;
  }
  return s.E_Account;
}

bool TickOf(const GeneralSettingsState& s, GeneralCheck box) {
  return box == GeneralCheck::CB_ReplaceAcc ? s.CB_ReplaceAcc : s.CB_OwnMessages;
}

// Rule indexes: the account, the four edits of each SIM, the device password.
constexpr size_t kAccountRule = 0;
constexpr size_t kFirstSimRule = 1;
constexpr size_t kSimRules = 4;
constexpr size_t kDevicePasswordRule = 9;
static_assert(kFirstSimRule + 2 * kSimRules == kDevicePasswordRule);
static_assert(kGeneralEditRules[kAccountRule].edit == GeneralEdit::E_Account);
static_assert(kGeneralEditRules[kFirstSimRule].edit == GeneralEdit::E_Apn1);
static_assert(kGeneralEditRules[kFirstSimRule + kSimRules].edit == GeneralEdit::E_Apn2);
static_assert(kGeneralEditRules[kDevicePasswordRule].edit == GeneralEdit::E_DevicePassword);

// Layout of the page (pixels).
constexpr int kLeft = 16;
constexpr int kAccountY = 16;
constexpr int kCheckY = 48;
constexpr int kCheckStep = 24;
constexpr int kSimBoxY = 104;
constexpr int kSimBoxWidth = 256;
constexpr int kSimBoxHeight = 150;
constexpr int kSimBoxX[2] = {8, 273};
constexpr int kSimRowY = 26;
constexpr int kSimRowStep = 30;
constexpr int kDevicePasswordY = 272;

}  // namespace

TF_Obsh_Nastr::TF_Obsh_Nastr(GeneralSettingsModel& model, QWidget* parent) : PageView(parent), m_model(model) {
  setObjectName(QStringLiteral("TF_Obsh_Nastr"));
  setWindowTitle(Utf8(kGeneralPageTitle));

  auto bind = [this](size_t rule, QWidget& parent_widget) {
    const LabelledEdit made = MakeLabelledEdit(parent_widget, kGeneralEditRules[rule]);
    m_edits[rule] = made.edit;
    connect(made.edit, &QLineEdit::textEdited, this, [this, rule](const QString& text) {
      m_model.SetText(kGeneralEditRules[rule].edit, text.toStdString());
      ShowModel();
    });
    return made;
  };

  bind(kAccountRule, *this).Place(kLeft, 180, 200, 64, kAccountY);

  for (size_t i = 0; i < m_checks.size(); ++i) {
    const GeneralCheckText& box = kGeneralCheckTexts[i];
    auto* check = new QCheckBox(Utf8(box.caption), this);
    check->setObjectName(Utf8(box.control));
    check->setToolTip(Utf8(box.hint));
    check->setGeometry(kLeft, kCheckY + static_cast<int>(i) * kCheckStep, 500, 19);
    connect(check, &QCheckBox::clicked, this, [this, box = box.box](bool ticked) {
      m_model.SetCheck(box, ticked);
      ShowModel();
    });
    m_checks[i] = check;
  }

  for (size_t sim = 0; sim < 2; ++sim) {
    auto* group = new QGroupBox(Utf8(kSimBoxCaptions[sim]), this);
    group->setObjectName(QStringLiteral("GroupBox_APN%1").arg(sim + 1));
    group->setAccessibleName(group->title());
    group->setGeometry(kSimBoxX[sim], kSimBoxY, kSimBoxWidth, kSimBoxHeight);
    for (size_t row = 0; row < kSimRules; ++row)
      bind(kFirstSimRule + sim * kSimRules + row, *group)
          .Place(8, 130, 140, 106, kSimRowY + static_cast<int>(row) * kSimRowStep);
  }

  bind(kDevicePasswordRule, *this).Place(kLeft, 220, 240, 190, kDevicePasswordY);

  ShowModel();
}

void TF_Obsh_Nastr::ShowModel() {
  const GeneralSettingsState& s = m_model.state();
  for (size_t i = 0; i < m_edits.size(); ++i) {
    const QSignalBlocker block(m_edits[i]);
    ShowText(*m_edits[i], TextOf(s, kGeneralEditRules[i].edit));
  }
  for (size_t i = 0; i < m_checks.size(); ++i) {
    const QSignalBlocker block(m_checks[i]);
    m_checks[i]->setChecked(TickOf(s, kGeneralCheckTexts[i].box));
  }
}

}  // namespace tamlo
