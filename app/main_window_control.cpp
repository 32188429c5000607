#include "app/main_window_control.h"

#include <QApplication>

namespace tamlo {

void QtMainWindowControl::SetActiveWindowEnabled(bool enabled) {
  if (!enabled) {
    QWidget* active = QApplication::activeWindow();
    m_disabled = active != nullptr && active != m_ignored ? active : &m_main;
    m_focused = m_disabled->focusWidget();
    m_disabled->setEnabled(false);
    return;
  }
  if (m_disabled) m_disabled->setEnabled(true);
  // The window need not be the active one now (a result box may follow);
  // the control then gets the focus when the window is activated again.
  if (m_focused && m_focused->window() == m_disabled && m_focused->isEnabled())
    m_focused->setFocus(Qt::OtherFocusReason);
  m_disabled.clear();
  m_focused.clear();
}

}  // namespace tamlo
