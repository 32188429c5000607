#include "app/main_controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tamlo {

CaptionButton::CaptionButton(CaptionGlyph glyph, QWidget* parent) : QAbstractButton(parent), m_glyph(glyph) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_Hover);
  setCursor(Qt::PointingHandCursor);
}

void CaptionButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintCaptionButton(p, rect(), m_glyph, underMouse(), isDown());
}

WindowDragger::WindowDragger(QWidget* window) : QObject(window), m_window(window) {}

void WindowDragger::Watch(QWidget* widget) { widget->installEventFilter(this); }

bool WindowDragger::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return false;
      QWindow* handle = m_window->windowHandle();
      if (handle && handle->startSystemMove()) return true;
      // No window manager move (a bare X server, for one): follow the mouse.
      m_following = true;
      m_grabOffset = mouse->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
      return true;
    }
    case QEvent::MouseMove:
      if (!m_following) return false;
      m_window->move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - m_grabOffset);
      return true;
    case QEvent::MouseButtonRelease:
      if (!m_following) return false;
      m_following = false;
      return true;
    default:
      return false;
  }
}

}  // namespace tamlo
