#pragma once
// Small controls of the main window: labels that act as buttons, the picture
// buttons of the caption corner, and the drag that moves the borderless
// window by its background.
#include <QAbstractButton>
#include <QLabel>
#include <QPoint>

#include "app/main_artwork.h"

namespace tamlo {

// A label that acts as a button: bold, underlined while the mouse is over it,
// clicked by a left press and release inside it.
class LabelButton : public QLabel {
  Q_OBJECT
 public:
  LabelButton(const QString& text, QWidget* parent);

 signals:
  void clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void SetUnderlined(bool underlined);
  bool m_pressed = false;
};

// A caption-corner button drawn from the artwork; never takes the focus.
class CaptionButton : public QAbstractButton {
  Q_OBJECT
 public:
  CaptionButton(CaptionGlyph glyph, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CaptionGlyph m_glyph;
};

// Moves a borderless top-level window when the left button is pressed on a
// watched widget: the platform's own window move where it has one, else by
// following the mouse.
class WindowDragger : public QObject {
  Q_OBJECT
 public:
  explicit WindowDragger(QWidget* window);
  void Watch(QWidget* widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* m_window;
  bool m_following = false;
  QPoint m_grabOffset;
};

}  // namespace tamlo
