#pragma once
// Small controls of the main window: the picture buttons of the caption
// corner, and the drag that moves the borderless window by its background.
// (Its label buttons are widgets/label_button.h.)
#include <QAbstractButton>
#include <QPoint>

#include "app/main_artwork.h"

namespace tamlo {

// A caption-corner button drawn from the artwork; never takes the focus.
class CaptionButton : public QAbstractButton {
  Q_OBJECT
 public:
  CaptionButton(CaptionGlyph glyph, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CaptionGlyph m_glyph = CaptionGlyph::Close;
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
  QWidget* m_window = nullptr;
  bool m_following = false;
  QPoint m_grabOffset;
};

}  // namespace tamlo
