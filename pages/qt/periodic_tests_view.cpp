#include "pages/qt/periodic_tests_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScopedValueRollback>

#include "pages/qt/page_controls.h"
#include "widgets/filtered_line_edit.h"
#include "widgets/time_field_edit.h"

namespace tamlo {
namespace {

using Edit = PeriodicTestsModel::Edit;
using Texts = PeriodicTestsTexts;

constexpr int kLeft = 16;
constexpr int kContentWidth = kPageWidth - 2 * kLeft;
constexpr int kFieldLeft = 330;
constexpr int kTimeFieldWidth = 46;
constexpr int kFieldHeight = 21;

struct RadioButton {
  TestType type;
  const char* control;
  std::string_view caption;
};
constexpr RadioButton kRadioButtons[] = {
    {TestType::RB_TestOff, "RB_TestOff", Texts::RB_TestOff},
    {TestType::RB_TestOptimal, "RB_TestOptimal", Texts::RB_TestOptimal},
    {TestType::RB_TestAndromedaStyle, "RB_TestAndromedaStyle", Texts::RB_TestAndromedaStyle},
};

}  // namespace

TF_Autotests::TF_Autotests(PeriodicTestsModel& model, QWidget* parent) : PageView(parent), m_model(model) {
  setObjectName("TF_Autotests");
  BuildTestType();
  BuildTimes();
  BuildQuickTests();
  ShowModel();
}

void TF_Autotests::BuildTestType() {
  auto* group = new QGroupBox(ToQString(Texts::GroupBox_Tests), this);
  group->setObjectName("GroupBox_Tests");
  group->setGeometry(kLeft, 12, kContentWidth, 100);
  m_test_type = new QButtonGroup(this);
  int top = 22;
  for (const RadioButton& b : kRadioButtons) {
    auto* button = new QRadioButton(ToQString(b.caption), group);
    button->setObjectName(b.control);
    button->setGeometry(12, top, kContentWidth - 24, 20);
    m_test_type->addButton(button, static_cast<int>(b.type));
    top += 24;
  }
  connect(m_test_type, &QButtonGroup::idClicked, this, [this](int id) {
    m_model.RB_TestTypeClick(static_cast<TestType>(id));
    Reshow();
  });
}

TimeFieldEdit* TF_Autotests::MakeTimeField(const char* control, Edit edit, QLabel* label, int top,
                                           std::string_view hint) {
  auto* field = AddTimeField(*this, control, hint, *label, QRect(kFieldLeft, top, kTimeFieldWidth, kFieldHeight));
  connect(field, &TimeFieldEdit::fieldEdited, this, [this, edit](const QString& text) {
    m_model.SetText(edit, text.toStdString());
    Reshow();
  });
  return field;
}

void TF_Autotests::BuildTimes() {
  m_auto_test_label = AddLabel(*this, "L_AutoTest", Texts::L_AutoTest, QRect(kLeft, 128, 300, 15));
  m_auto_test = MakeTimeField("ME_AutoTest", Edit::ME_AutoTest, m_auto_test_label, 125, Texts::ME_AutoTestHint);
  m_schedule_label = AddLabel(*this, "L_ScheduleStart", Texts::L_ScheduleStart, QRect(kLeft, 156, 300, 15));
  m_schedule = MakeTimeField("ME_ScheduleStart", Edit::ME_ScheduleStart, m_schedule_label, 153);

  m_overrides = new QLabel(this);
  m_overrides->setObjectName("L_Overrides");
  m_overrides->setGeometry(kLeft, 188, kContentWidth, 30);
  m_overrides->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  m_overrides->setWordWrap(true);
}

void TF_Autotests::BuildQuickTests() {
  // The device keeps these settings, but the page never offers them: the
  // group is created hidden and nothing shows it.
  m_quick_tests = new QGroupBox(ToQString(Texts::GroupBox_QuickTests), this);
  m_quick_tests->setObjectName("GroupBox_QuickTests");
  m_quick_tests->setGeometry(kLeft, 228, kContentWidth, 80);
  m_quick_tests->setVisible(false);

  m_enable_qt = new QCheckBox(ToQString(Texts::CB_EnableQT), m_quick_tests);
  m_enable_qt->setObjectName("CB_EnableQT");
  m_enable_qt->setGeometry(12, 22, kContentWidth - 24, 20);
  connect(m_enable_qt, &QCheckBox::clicked, this, [this](bool ticked) {
    m_model.CB_EnableQTClick(ticked);
    Reshow();
  });

  m_qt_label = AddLabel(*m_quick_tests, "L_QT", Texts::L_QT, QRect(12, 52, 200, 15));
  m_qt_period = new FilteredLineEdit(m_quick_tests);
  m_qt_period->setObjectName("E_QT_Period");
  m_qt_period->setGeometry(kFieldLeft - kLeft, 49, 46, kFieldHeight);
  m_qt_period->SetTypingLimit(PeriodicTestsModel::kQtPeriodMaxLength);
  m_qt_period->SetKeyFilter(PeriodicTestsModel::kQtPeriodKeyFilter);
  TieToLabel(*m_qt_label, *m_qt_period, {});
  connect(m_qt_period, &QLineEdit::textEdited, this, [this](const QString& text) {
    m_model.SetText(Edit::E_QT_Period, text.toStdString());
    Reshow();
  });
  connect(m_qt_period, &FilteredLineEdit::exited, this, [this] {
    m_model.E_QT_PeriodExit();
    Reshow();
  });
}

void TF_Autotests::Reshow() {
  // Hiding the focused control moves the focus, which reads as leaving an
  // edit: that is the program's doing, not the user's.
  if (!m_showing) ShowModel();
}

void TF_Autotests::ShowModel() {
  const QScopedValueRollback<bool> showing(m_showing, true);
  const PeriodicTestsModel::State& s = m_model.state();

  if (QAbstractButton* chosen = m_test_type->button(static_cast<int>(s.GroupBox_Tests))) chosen->setChecked(true);
  ShowFieldText(*m_auto_test, s.ME_AutoTest);
  m_auto_test->setVisible(s.visible.ME_AutoTest);
  m_auto_test_label->setVisible(s.visible.ME_AutoTest);
  ShowFieldText(*m_schedule, s.ME_ScheduleStart);
  m_schedule->setVisible(s.visible.ME_ScheduleStart);
  m_schedule_label->setVisible(s.visible.ME_ScheduleStart);
  ShowCaption(*m_overrides, s.L_Overrides);
  m_overrides->setVisible(s.visible.L_Overrides);

  m_enable_qt->setChecked(s.CB_EnableQT);
  ShowText(*m_qt_period, s.E_QT_Period);
  m_qt_period->setVisible(s.visible.E_QT_Period);
  m_qt_label->setVisible(s.visible.E_QT_Period);
}

void TF_Autotests::showEvent(QShowEvent* event) {
  // The directions page may have ticked or unticked an own test period
  // since the page was last shown.
  m_model.FormShow();
  ShowModel();
  PageView::showEvent(event);
}

}  // namespace tamlo
