#include "device/qt/window_placement.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace tamlo {

void StayAbove(QWidget& window, QWidget* main_window) {
  if (!main_window) return;
  window.winId();  // the native window exists from here on
  main_window->winId();
  if (QWindow* handle = window.windowHandle()) handle->setTransientParent(main_window->windowHandle());
}

void CentreOn(QWidget& window, const QWidget* main_window) {
  QRect area;
  if (main_window)
    area = main_window->frameGeometry();
  else if (const QScreen* screen = window.screen())
    area = screen->availableGeometry();
  if (area.isNull()) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(area.center());
  window.move(frame.topLeft());
}

}  // namespace tamlo
