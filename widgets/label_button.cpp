#include "widgets/label_button.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>

namespace tamlo {
namespace {

// A QLabel is static text to the accessibility tree; this one is a button.
class LabelButtonAccessible : public QAccessibleWidget {
 public:
  explicit LabelButtonAccessible(LabelButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) {
      const QString name = widget()->accessibleName();
      return name.isEmpty() ? static_cast<const LabelButton*>(widget())->text() : name;
    }
    return QAccessibleWidget::text(kind);
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& action) override {
    if (action == pressAction()) static_cast<LabelButton*>(widget())->click();
  }
};

QAccessibleInterface* LabelButtonAccessibleFactory(const QString& class_name, QObject* object) {
  if (class_name != QLatin1String(LabelButton::staticMetaObject.className())) return nullptr;
  return new LabelButtonAccessible(static_cast<LabelButton*>(object));
}

}  // namespace

LabelButton::LabelButton(const QString& text, QWidget* parent) : QLabel(text, parent) {
  static const bool factory_installed = [] {
    QAccessible::installFactory(LabelButtonAccessibleFactory);
    return true;
  }();
  (void)factory_installed;
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
  UpdateUnderline();
}

void LabelButton::click() { emit clicked(); }

void LabelButton::UpdateUnderline() {
  QFont f = font();
  f.setBold(true);
  f.setUnderline(m_hovered || hasFocus());
  setFont(f);
}

void LabelButton::enterEvent(QEnterEvent* event) {
  m_hovered = true;
  UpdateUnderline();
  QLabel::enterEvent(event);
}

void LabelButton::leaveEvent(QEvent* event) {
  m_hovered = false;
  UpdateUnderline();
  QLabel::leaveEvent(event);
}

void LabelButton::focusInEvent(QFocusEvent* event) {
  QLabel::focusInEvent(event);
  UpdateUnderline();
}

void LabelButton::focusOutEvent(QFocusEvent* event) {
  QLabel::focusOutEvent(event);
  UpdateUnderline();
}

void LabelButton::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && !event->isAutoRepeat() &&
      (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    event->accept();
    click();
    return;
  }
  QLabel::keyPressEvent(event);
}

void LabelButton::mousePressEvent(QMouseEvent* event) {
  m_pressed = event->button() == Qt::LeftButton;
  event->accept();
}

void LabelButton::mouseReleaseEvent(QMouseEvent* event) {
  const bool clicked_inside =
      m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  m_pressed = false;
  event->accept();
  if (clicked_inside) click();
}

}  // namespace tamlo
