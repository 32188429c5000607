#include "device/qt/gsm_status_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "device/qt/window_placement.h"
#include "widgets/page_look.h"

namespace tamlo {
namespace {

constexpr int kWidth = 330;
constexpr int kMargin = 10;
constexpr int kGroupHeight = 72;
constexpr int kRowY = 22;
constexpr int kRowHeight = 18;
constexpr int kDbWidth = 64;
constexpr int kPercentWidth = 44;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 25;

// Object names of the controls of SIM 1 and SIM 2.
struct SimNames {
  const char* group;
  const char* level_db;
  const char* gauge;
  const char* level_percent;
  const char* state;
};
constexpr SimNames kSimNames[] = {
    {"GroupBox1", "L_GSM_Level_dB", "PB_GSM_Level_Gauge", "L_GSM_Level_Percent", "L_TextState"},
    {"GroupBox2", "L_GSM_Level_dB_SIM2", "PB_GSM_Level_Gauge_SIM2", "L_GSM_Level_Percent_SIM2", "L_TextState_SIM2"},
};

QLabel* NewLabel(QWidget* parent, const char* name, Qt::Alignment alignment) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setAlignment(alignment | Qt::AlignVCenter);
  return label;
}

}  // namespace

TF_GSM_Status::TF_GSM_Status(QWidget* main_window) : m_main_window(main_window) {
  setObjectName(QStringLiteral("TF_GSM_Status"));
  setWindowTitle(QString::fromUtf8(kGsmStatusCaption));
  // A fixed frame with the system menu and the close box only.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  ApplyExchangeLook(*this);

  const int group_width = kWidth - 2 * kMargin;
  const int gauge_x = kMargin + kDbWidth + kMargin;
  const int gauge_width = group_width - 2 * kMargin - kDbWidth - kPercentWidth - 2 * kMargin;
  int y = kMargin;
  for (size_t i = 0; i < m_sims.size(); ++i) {
    SimControls& sim = m_sims[i];
    const SimNames& names = kSimNames[i];
    sim.group = new QGroupBox(this);
    sim.group->setObjectName(QString::fromLatin1(names.group));
    sim.group->setGeometry(kMargin, y, group_width, kGroupHeight);
    sim.level_db = NewLabel(sim.group, names.level_db, Qt::AlignLeft);
    sim.level_db->setGeometry(kMargin, kRowY, kDbWidth, kRowHeight);
    sim.gauge = new QProgressBar(sim.group);
    sim.gauge->setObjectName(QString::fromLatin1(names.gauge));
    sim.gauge->setRange(0, 100);
    sim.gauge->setTextVisible(false);
    sim.gauge->setGeometry(gauge_x, kRowY + 2, gauge_width, kRowHeight - 4);
    sim.level_percent = NewLabel(sim.group, names.level_percent, Qt::AlignRight);
    sim.level_percent->setGeometry(group_width - kMargin - kPercentWidth, kRowY, kPercentWidth, kRowHeight);
    sim.state = NewLabel(sim.group, names.state, Qt::AlignLeft);
    sim.state->setGeometry(kMargin, kRowY + kRowHeight + 6, group_width - 2 * kMargin, kRowHeight);
    y += kGroupHeight + kMargin;
  }

  m_close = new QPushButton(QStringLiteral("Закрыть"), this);
  m_close->setObjectName(QStringLiteral("B_GSM_Close"));
  m_close->setFlat(true);
  m_close->setAutoDefault(false);
  m_close->setGeometry((kWidth - kButtonWidth) / 2, y, kButtonWidth, kButtonHeight);
  connect(m_close, &QPushButton::clicked, this, &TF_GSM_Status::reject);
  y += kButtonHeight + kMargin;

  setFixedSize(kWidth, y);
  StayAbove(*this, m_main_window);
  ShowModel();
}

void TF_GSM_Status::ShowModel() {
  for (size_t i = 0; i < m_sims.size(); ++i) {
    const device::GsmSimDisplay& shown = m_model.sims()[i];
    SimControls& sim = m_sims[i];
    sim.group->setTitle(QString::fromStdString(shown.caption));
    sim.level_db->setText(QString::fromStdString(shown.level_db));
    sim.level_percent->setText(QString::fromStdString(shown.level_percent));
    sim.gauge->setValue(shown.bar);
    sim.state->setText(QString::fromStdString(shown.state));
  }
}

void TF_GSM_Status::Show(std::function<void()> cancel) {
  m_cancel = std::move(cancel);
  m_model.FormShow();
  ShowModel();
  show();
  CentreOn(*this, m_main_window);
  raise();
  activateWindow();
}

void TF_GSM_Status::ShowStatus(const uint8_t* reply, size_t length) {
  m_model.ShowGsmStatus(reply, length);
  ShowModel();
}

void TF_GSM_Status::Close() {
  m_cancel = nullptr;
  if (isVisible()) QDialog::reject();
}

void TF_GSM_Status::reject() {
  // Taken before the call: the cancel may run the message pump, which must
  // not deliver a second close into it.
  const std::function<void()> cancel = std::move(m_cancel);
  m_cancel = nullptr;
  if (cancel) cancel();
  QDialog::reject();
}

}  // namespace tamlo
