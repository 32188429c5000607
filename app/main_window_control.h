#pragma once
// What the device window does to the main window around an exchange and a
// modem call, bound to the Qt windows.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <utility>

#include "device/device_seams.h"

namespace tamlo {

class QtMainWindowControl final : public device::MainWindowControl {
 public:
  // The window outlives this object; `start_clock` starts its connection
  // duration display.
  QtMainWindowControl(QWidget& main_window, std::function<void()> start_clock)
      : m_main(main_window), m_startClock(std::move(start_clock)) {}

  // The progress window: shown just before the exchange disables the active
  // window, it may already be the active one then; it must stay usable (its
  // "Отмена"), so the main window is disabled in its place.
  void IgnoreWhenActive(QWidget* window) { m_ignored = window; }

  // Disabling remembers the window active at that moment (normally the main
  // window) and its focused control; enabling gives that same window back
  // its input, even when another window became active meanwhile, and the
  // focus back to the control that started the exchange. (A disabled window
  // loses its focus; without this it would come back on the window's first
  // control.)
  void SetActiveWindowEnabled(bool enabled) override;
  void SetMainWindowVisible(bool visible) override { m_main.setVisible(visible); }
  void StartConnectionClock() override { m_startClock(); }

 private:
  QWidget& m_main;
  std::function<void()> m_startClock;
  QWidget* m_ignored = nullptr;
  QPointer<QWidget> m_disabled;  // cleared should the window go away meanwhile
  QPointer<QWidget> m_focused;   // its focused control then
};

}  // namespace tamlo
