#pragma once
// A label that acts as a button ("Открыть ...", "Ещё...", "Справочник"): its
// font is bold, and bold and underlined while the mouse is over it. A left
// press and release inside it clicks it.
//
// For the keyboard and screen readers it is a button: Tab reaches it, Space
// or Enter clicks it (it shows the underline while it has the focus, as a
// label draws no focus frame), and the accessibility tree sees a button whose
// name is its text (or the accessible name, when one is set) and whose
// description is its hint.
#include <QLabel>

namespace tamlo {

class LabelButton : public QLabel {
  Q_OBJECT
 public:
  LabelButton(const QString& text, QWidget* parent);

  // What a click, Space or Enter does; also the accessible "press" action.
  void click();

 signals:
  void clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void UpdateUnderline();
  bool m_pressed = false;
  bool m_hovered = false;
};

}  // namespace tamlo
