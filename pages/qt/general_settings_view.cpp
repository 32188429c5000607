#include "pages/qt/general_settings_view.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

#include "pages/qt/page_controls.h"

namespace tamlo {
namespace {

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

// Layout of the page (pixels). A row is a 21-pixel edit with its label's
// text three pixels lower.
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
  setWindowTitle(ToQString(kGeneralPageTitle));

  // The edit of rule `rule` in `box`, its label from label_x and the edit
  // from edit_x on the row at y.
  auto add_edit = [this](size_t rule, QWidget& box, int label_x, int label_width, int edit_x, int edit_width,
                         int y) {
    const EditRule<GeneralEdit>& r = kGeneralEditRules[rule];
    QLabel* label = AddRuleLabel(box, r, QRect(label_x, y + 3, label_width, 16));
    FilteredLineEdit* edit = AddRuleEdit(box, r, *label, QRect(edit_x, y, edit_width, 21));
    connect(edit, &QLineEdit::textEdited, this, [this, rule](const QString& text) {
      m_model.SetText(kGeneralEditRules[rule].edit, text.toStdString());
      ShowModel();
    });
    m_edits[rule] = edit;
  };

  add_edit(kAccountRule, *this, kLeft, 180, 200, 64, kAccountY);

  for (size_t i = 0; i < m_checks.size(); ++i) {
    const GeneralCheckText& box = kGeneralCheckTexts[i];
    auto* check = new QCheckBox(ToQString(box.caption), this);
    check->setObjectName(ToQString(box.control));
    check->setToolTip(ToQString(box.hint));
    check->setGeometry(kLeft, kCheckY + static_cast<int>(i) * kCheckStep, 500, 19);
    connect(check, &QCheckBox::clicked, this, [this, box = box.box](bool ticked) {
      m_model.SetCheck(box, ticked);
      ShowModel();
    });
    m_checks[i] = check;
  }

  for (size_t sim = 0; sim < 2; ++sim) {
    auto* group = new QGroupBox(ToQString(kSimBoxCaptions[sim]), this);
    group->setObjectName(QStringLiteral("GroupBox_APN%1").arg(sim + 1));
    group->setAccessibleName(group->title());
    group->setGeometry(kSimBoxX[sim], kSimBoxY, kSimBoxWidth, kSimBoxHeight);
    for (size_t row = 0; row < kSimRules; ++row)
      add_edit(kFirstSimRule + sim * kSimRules + row, *group, 8, 130, 140, 106,
               kSimRowY + static_cast<int>(row) * kSimRowStep);
  }

  add_edit(kDevicePasswordRule, *this, kLeft, 220, 240, 190, kDevicePasswordY);

  ShowModel();
}

void TF_Obsh_Nastr::ShowModel() {
  for (size_t i = 0; i < m_edits.size(); ++i) ShowText(*m_edits[i], m_model.Text(kGeneralEditRules[i].edit));
  for (size_t i = 0; i < m_checks.size(); ++i) ShowTicked(*m_checks[i], m_model.Ticked(kGeneralCheckTexts[i].box));
}

}  // namespace tamlo
