#pragma once
// For the start-up benchmark (bench/gui): with TAMLO_BENCH_STARTUP set in the
// environment, tamlocfg writes "first-paint" to standard error when the main
// window has painted for the first time, then runs the probe's action (a
// configuration read from the demo device), answering every message box it
// brings up, writes "action-done" (or "action-failed") and ends. Without the variable nothing of
// this exists.
#include <QObject>
#include <functional>

class QWidget;

namespace tamlo {

inline constexpr char kStartupProbeVariable[] = "TAMLO_BENCH_STARTUP";

class StartupProbe final : public QObject {
 public:
  // Watches `main_window`; `action` may be empty (end after the paint).
  StartupProbe(QWidget& main_window, std::function<bool()> action);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Run();

  std::function<bool()> m_action;
  bool m_painted = false;
};

}  // namespace tamlo
