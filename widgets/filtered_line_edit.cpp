#include "widgets/filtered_line_edit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <algorithm>

namespace tamlo {

bool LeavesForAnotherControl(const QFocusEvent& event) {
  return event.reason() != Qt::PopupFocusReason && event.reason() != Qt::ActiveWindowFocusReason;
}

FilteredLineEdit::FilteredLineEdit(QWidget* parent) : QLineEdit(parent) {}

QString FilteredLineEdit::AcceptableInput(const QString& text) const {
  QString accepted;
  for (const char32_t ch : text.toUcs4()) {
    if (ch < 32 || ch == 127) continue;  // line breaks and such never enter a one-line edit
    if (!m_filter || m_filter(ch)) accepted += QString::fromUcs4(&ch, 1);
  }
  if (m_limit > 0) {
    const qsizetype kept = this->text().size() - selectedText().size();
    const qsizetype room = std::max<qsizetype>(0, m_limit - kept);
    if (accepted.size() > room) accepted.truncate(room);
  }
  return accepted;
}

void FilteredLineEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    if (!isReadOnly()) FilteredPaste();
    event->accept();
    return;
  }
  const QString typed = event->text();
  // Keys without printable text (arrows, Backspace, Delete, shortcuts) go to
  // the edit unchanged; control characters pass as the filters demand.
  const bool printable =
      !typed.isEmpty() && std::any_of(typed.begin(), typed.end(), [](QChar c) { return c.unicode() >= 32; });
  const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
  if (!printable || shortcut || isReadOnly()) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  const QString accepted = AcceptableInput(typed);
  if (accepted.isEmpty()) {
    event->accept();  // dropped: the character is not the edit's, or there is no room
    return;
  }
  QKeyEvent filtered(event->type(), event->key(), event->modifiers(), accepted, event->isAutoRepeat(),
                     static_cast<ushort>(event->count()));
  QLineEdit::keyPressEvent(&filtered);
  event->setAccepted(filtered.isAccepted());
}

void FilteredLineEdit::InsertFrom(const QString& text) {
  const QString accepted = AcceptableInput(text);
  if (!accepted.isEmpty()) insert(accepted);  // insert() reports textEdited like typing
}

void FilteredLineEdit::FilteredPaste() {
  if (!isReadOnly()) InsertFrom(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
}

void FilteredLineEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (LeavesForAnotherControl(*event)) emit exited();
}

namespace {

// The paste entry of QLineEdit's standard context menu. Qt 6.4 gives its
// actions no object names; their texts are QLineEdit's own translated texts
// with the shortcut after a tab.
QAction* StandardPasteAction(const QMenu& menu) {
  const QString paste = QLineEdit::tr("&Paste");
  for (QAction* action : menu.actions())
    if (action->objectName() == QLatin1String("edit-paste") || action->text().section(u'\t', 0, 0) == paste)
      return action;
  return nullptr;
}

}  // namespace

void FilteredLineEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  // The standard paste would put the clipboard in unfiltered.
  if (QAction* paste = StandardPasteAction(*menu)) {
    disconnect(paste, &QAction::triggered, nullptr, nullptr);
    paste->setObjectName(QStringLiteral("edit-paste"));
    connect(paste, &QAction::triggered, this, &FilteredLineEdit::FilteredPaste);
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void FilteredLineEdit::mouseReleaseEvent(QMouseEvent* event) {
  // The X11 selection paste of the middle button, filtered like any paste.
  if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
    if (!isReadOnly()) {
      setCursorPosition(cursorPositionAt(event->position().toPoint()));
      InsertFrom(QGuiApplication::clipboard()->text(QClipboard::Selection));
    }
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void FilteredLineEdit::dropEvent(QDropEvent* event) {
  if (isReadOnly() || !event->mimeData()->hasText()) {
    event->ignore();
    return;
  }
  setCursorPosition(cursorPositionAt(event->position().toPoint()));
  deselect();
  InsertFrom(event->mimeData()->text());
  event->acceptProposedAction();
}

}  // namespace tamlo
