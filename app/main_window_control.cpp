#include "app/main_window_control.h"

#include <QApplication>

namespace tamlo {

void QtMainWindowControl::SetActiveWindowEnabled(bool enabled) {
  if (!enabled) {
    QWidget* active = QApplication::activeWindow();
    m_disabled = active != nullptr && active != m_ignored ? active : &m_main;
    m_disabled->setEnabled(false);
    return;
  }
  if (m_disabled) m_disabled->setEnabled(true);
  m_disabled.clear();
}

}  // namespace tamlo
