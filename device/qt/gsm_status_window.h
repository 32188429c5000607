#pragma once
// TF_GSM_Status, "Уровень сигнала GSM": both SIM cards' signal level (dB,
// percent and a bar) and state while the device window polls the device's
// GSM status, about once a second, in one long exchange. The device window
// shows it on the first reply, in place of the progress window, and closes
// it when the exchange has returned. Closing it ("Закрыть", Esc or the close
// box) ends the polling: the exchange stops at its next wait and returns.
//
// Not modal, and not a Qt child of the main window (see window_placement.h):
// the main window is disabled while the polling runs.
#include <QDialog>
#include <array>
#include <functional>

#include "device/device_seams.h"
#include "device/gsm_status_view_model.h"

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tamlo {

inline constexpr char kGsmStatusCaption[] = "Уровень сигнала GSM";

class TF_GSM_Status final : public QDialog, public device::GsmStatusView {
  Q_OBJECT
 public:
  // Created once; shown centred on `main_window`.
  explicit TF_GSM_Status(QWidget* main_window);

  // device::GsmStatusView
  void Show(std::function<void()> cancel) override;
  void ShowStatus(const uint8_t* reply, size_t length) override;
  // The exchange has returned: the window goes without another cancel.
  void Close() override;

  // "Закрыть", Esc and the close box: the polling is cancelled (once) and
  // the window closes.
  void reject() override;

  const device::GsmStatusWindowModel& model() const { return m_model; }

 private:
  struct SimControls {
    QGroupBox* group = nullptr;
    QLabel* level_db = nullptr;
    QProgressBar* gauge = nullptr;
    QLabel* level_percent = nullptr;
    QLabel* state = nullptr;
  };
  void ShowModel();

  QWidget* m_main_window = nullptr;
  device::GsmStatusWindowModel m_model;
  std::array<SimControls, 2> m_sims{};
  QPushButton* m_close = nullptr;
  std::function<void()> m_cancel;
};

}  // namespace tamlo
