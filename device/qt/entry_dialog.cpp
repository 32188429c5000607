#include "device/qt/entry_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "device/qt/window_placement.h"
#include "widgets/page_look.h"

namespace tamlo {
namespace {

constexpr int kClientWidth = 360;
constexpr int kMargin = 10;
constexpr int kPromptHeight = 32;
constexpr int kEditHeight = 22;
// The key's 32 characters get an edit of their own width, centred.
constexpr int kKeyEditWidth = 300;

}  // namespace

TF_PassInput::TF_PassInput(QWidget* main_window, UserDialogs& dialogs)
    : m_main_window(main_window), m_model(dialogs) {
  setObjectName(QStringLiteral("TF_PassInput"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  ApplyPageLook(*this);

  m_prompt = new QLabel(this);
  m_prompt->setObjectName(QStringLiteral("L_Password"));
  m_prompt->setWordWrap(true);
  m_edit = new QLineEdit(this);
  m_edit->setObjectName(QStringLiteral("E_Password"));
  m_prompt->setBuddy(m_edit);
  m_edit->installEventFilter(this);

  const device::EntryRequest initial = device::PasswordRequest(0, {});
  setWindowTitle(QString::fromStdString(initial.caption));
  m_prompt->setText(QString::fromStdString(initial.prompt));
  LayOut(initial.mode);
  setFixedSize(kClientWidth, kMargin + kPromptHeight + kMargin + kEditHeight + kMargin);
  StayAbove(*this, m_main_window);
}

void TF_PassInput::LayOut(device::EntryMode mode) {
  m_prompt->setGeometry(kMargin, kMargin, kClientWidth - 2 * kMargin, kPromptHeight);
  const int edit_y = kMargin + kPromptHeight + kMargin;
  if (mode == device::EntryMode::Key)
    m_edit->setGeometry((kClientWidth - kKeyEditWidth) / 2, edit_y, kKeyEditWidth, kEditHeight);
  else
    m_edit->setGeometry(kMargin, edit_y, kClientWidth - 2 * kMargin, kEditHeight);
}

std::optional<std::string> TF_PassInput::Ask(const device::EntryRequest& request) {
  m_model.Open(request);
  setWindowTitle(QString::fromStdString(request.caption));
  m_prompt->setText(QString::fromStdString(request.prompt));
  m_prompt->setAccessibleName(m_prompt->text());
  m_edit->setAccessibleName(m_prompt->text());
  m_edit->setMaxLength(request.max_length > 0 ? static_cast<int>(request.max_length) : 32767);
  m_edit->setText(QString::fromStdString(request.prefill));
  m_edit->selectAll();
  LayOut(request.mode);
  m_edit->setFocus();
  CentreOn(*this, m_main_window);
  exec();
  // The edit is emptied at once (a typed key must not wait in it for the
  // next showing); the caller has the text.
  m_edit->setText(QString());
  return m_model.TakeResult();
}

void TF_PassInput::reject() {
  m_model.Cancel();
  QDialog::reject();
}

bool TF_PassInput::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_edit || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (m_model.Enter(m_edit->text().toStdString())) accept();
      return true;
    case Qt::Key_Escape:
      reject();
      return true;
    default: break;
  }
  // Typed characters only: a paste (Ctrl+V, itself a control character)
  // goes in as it is, and the checks at Enter judge it.
  for (const char32_t ch : key->text().toUcs4())
    if (!m_model.TakesCharacter(ch)) return true;
  return false;
}

}  // namespace tamlo
