#pragma once
// TF_UpdateProgress, "Обмен с устройством": the window shown while an
// exchange with the device runs, with the step's text, a progress bar and a
// "Отмена" button. It is not modal; the exchange runs on the GUI thread and
// the link's message pump delivers the button's click and the close box
// while it waits, which is how a cancel reaches the running exchange.
#include <QDialog>
#include <functional>

#include "device/device_seams.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tamlo {

inline constexpr char kProgressCaption[] = "Обмен с устройством";
inline constexpr char kProgressCancelCaption[] = "Отмена";
inline constexpr char kProgressIdleStatus[] = "...";

class TF_UpdateProgress final : public QDialog, public device::ProgressView {
  Q_OBJECT
 public:
  // Created once; shown centred on `main_window` for every exchange.
  explicit TF_UpdateProgress(QWidget* main_window);

  void Begin(std::function<void()> cancel) override;
  void SetStep(const std::string& text, uint32_t maximum) override;
  void SetPosition(uint32_t position) override;
  void SetWaitText(const std::string& text) override;
  void Hide() override;
  void End() override;

  // The close box and Esc: while an exchange runs the window stays and the
  // request counts as "Отмена" (once); otherwise it closes.
  void reject() override;

 public slots:
  // Requests the cancel of the running exchange, once: the button is
  // disabled until the next exchange begins.
  void B_UpdateCloseClick();

 private:
  QWidget* m_main_window = nullptr;
  QLabel* m_status = nullptr;
  QProgressBar* m_gauge = nullptr;
  QLabel* m_wait = nullptr;  // L_WaitTime, below the bar
  QPushButton* m_close = nullptr;
  std::function<void()> m_cancel;
  bool m_may_close = true;
};

}  // namespace tamlo
