#include "device/qt/progress_window.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <climits>

#include "device/qt/window_placement.h"
#include "widgets/page_look.h"

namespace tamlo {
namespace {

constexpr int kWidth = 360;
constexpr int kMargin = 10;
constexpr int kStatusHeight = 20;
constexpr int kGaugeHeight = 18;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 25;
// A step without a size of its own still moves the bar in percent.
constexpr uint32_t kDefaultMaximum = 100;

int ToBarValue(uint32_t value) { return static_cast<int>(std::min<uint32_t>(value, INT_MAX)); }

}  // namespace

TF_UpdateProgress::TF_UpdateProgress(QWidget* main_window) : m_main_window(main_window) {
  setObjectName(QStringLiteral("TF_UpdateProgress"));
  setWindowTitle(QString::fromUtf8(kProgressCaption));
  // A dialog frame with the system menu and the close box only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  // Showing it leaves the active window as it is: the window that started
  // the exchange is the one disabled until it returns, and the progress
  // window itself must never be that one.
  setAttribute(Qt::WA_ShowWithoutActivating);
  ApplyExchangeLook(*this);

  int y = kMargin;
  m_status = new QLabel(QString::fromUtf8(kProgressIdleStatus), this);
  m_status->setObjectName(QStringLiteral("L_UpdateStatus"));
  m_status->setAlignment(Qt::AlignCenter);
  m_status->setGeometry(kMargin, y, kWidth - 2 * kMargin, kStatusHeight);
  y += kStatusHeight + kMargin;

  m_gauge = new QProgressBar(this);
  m_gauge->setObjectName(QStringLiteral("PB_UpdateGauge"));
  m_gauge->setRange(0, static_cast<int>(kDefaultMaximum));
  m_gauge->setTextVisible(false);
  m_gauge->setGeometry(kMargin, y, kWidth - 2 * kMargin, kGaugeHeight);
  y += kGaugeHeight + kMargin / 2;

  // Empty until a command has waited long for its answer.
  m_wait = new QLabel(this);
  m_wait->setObjectName(QStringLiteral("L_WaitTime"));
  m_wait->setAlignment(Qt::AlignCenter);
  m_wait->setGeometry(kMargin, y, kWidth - 2 * kMargin, kStatusHeight);
  y += kStatusHeight + kMargin / 2;

  m_close = new QPushButton(QString::fromUtf8(kProgressCancelCaption), this);
  m_close->setObjectName(QStringLiteral("B_UpdateClose"));
  m_close->setFlat(true);
  m_close->setAutoDefault(false);
  m_close->setGeometry((kWidth - kButtonWidth) / 2, y, kButtonWidth, kButtonHeight);
  connect(m_close, &QPushButton::clicked, this, &TF_UpdateProgress::B_UpdateCloseClick);
  y += kButtonHeight + kMargin;

  setFixedSize(kWidth, y);
  StayAbove(*this, m_main_window);
}

void TF_UpdateProgress::Begin(std::function<void()> cancel) {
  m_cancel = std::move(cancel);
  m_may_close = false;
  m_close->setEnabled(true);
  m_gauge->setRange(0, static_cast<int>(kDefaultMaximum));
  m_gauge->setValue(0);
  m_status->setText(QString::fromUtf8(kProgressIdleStatus));
  m_wait->clear();
  // An exchange started from a modal window (the key window) would find the
  // window system's clicks on "Отмена" blocked unless this window stands
  // above that one.
  QWidget* modal = QApplication::activeModalWidget();
  StayAbove(*this, modal != nullptr && modal != this ? modal : m_main_window);
  show();
  CentreOn(*this, m_main_window);
  raise();
}

void TF_UpdateProgress::SetStep(const std::string& text, uint32_t maximum) {
  m_status->setText(QString::fromStdString(text));
  m_gauge->setRange(0, ToBarValue(maximum != 0 ? maximum : kDefaultMaximum));
  m_gauge->setValue(0);
}

void TF_UpdateProgress::SetPosition(uint32_t position) {
  // A position past the end would be ignored by the bar; it shows full.
  m_gauge->setValue(std::min(ToBarValue(position), m_gauge->maximum()));
}

void TF_UpdateProgress::SetWaitText(const std::string& text) { m_wait->setText(QString::fromStdString(text)); }

void TF_UpdateProgress::Hide() { hide(); }

void TF_UpdateProgress::End() {
  m_may_close = true;
  m_cancel = nullptr;
  close();
}

void TF_UpdateProgress::reject() {
  if (m_may_close) {
    QDialog::reject();
    return;
  }
  if (m_close->isEnabled()) B_UpdateCloseClick();
}

void TF_UpdateProgress::B_UpdateCloseClick() {
  if (!m_close->isEnabled()) return;
  // Disabled first: the cancel request may run the message pump, which must
  // not deliver a second click into it.
  m_close->setEnabled(false);
  if (m_cancel) m_cancel();
}

}  // namespace tamlo
