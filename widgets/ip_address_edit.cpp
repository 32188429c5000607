#include "widgets/ip_address_edit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

namespace tamlo {
namespace {

constexpr int kOctetDigits = 3;

// Up to three digits worth at most 255. QIntValidator would let "256"
// through as an intermediate value, and three digits move on to the next
// octet, so an octet could keep a number no address has.
class OctetValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    if (input.size() > kOctetDigits) return Invalid;
    for (const QChar c : input)
      if (c < u'0' || c > u'9') return Invalid;
    return input.isEmpty() || input.toUInt() <= 255 ? Acceptable : Invalid;
  }
};

}  // namespace

TIPAddress::TIPAddress(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 1, 2, 1);
  layout->setSpacing(0);
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      auto* dot = new QLabel(QStringLiteral("."), this);
      dot->setForegroundRole(QPalette::Text);
      layout->addWidget(dot);
    }
    auto* octet = new QLineEdit(this);
    octet->setObjectName(QStringLiteral("octet%1").arg(i + 1));
    octet->setFrame(false);
    octet->setAlignment(Qt::AlignCenter);
    octet->setMaxLength(kOctetDigits);
    octet->setValidator(new OctetValidator(octet));
    // One Tab stop for the whole field: only the first octet takes the focus
    // from the keyboard; the others are reached with the keys above.
    octet->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
    octet->installEventFilter(this);
    connect(octet, &QLineEdit::textEdited, this, [this, i](const QString& text) {
      emit addressEdited();
      const QLineEdit* edited = m_octets[static_cast<size_t>(i)];
      if (i < 3 && text.size() == kOctetDigits && edited->cursorPosition() == kOctetDigits) {
        FocusOctet(i + 1, Entry::SelectAll);
        m_moved_on_to = i + 1;
      }
    });
    layout->addWidget(octet, 1);
    m_octets[static_cast<size_t>(i)] = octet;
  }
  setFocusProxy(m_octets[0]);
}

uint32_t TIPAddress::GetAddress() const {
  uint32_t address = 0;
  for (const QLineEdit* octet : m_octets) {
    const uint32_t value = octet->text().toUInt();  // empty: 0
    address = address << 8 | (value > 255 ? 255 : value);
  }
  return address;
}

void TIPAddress::SetAddress(uint32_t address) {
  for (int i = 0; i < 4; ++i) m_octets[static_cast<size_t>(i)]->setText(QString::number(address >> (24 - 8 * i) & 0xFF));
}

void TIPAddress::ClearAddress() {
  for (QLineEdit* octet : m_octets) octet->clear();
}

bool TIPAddress::IsBlank() const {
  for (const QLineEdit* octet : m_octets)
    if (!octet->text().isEmpty()) return false;
  return true;
}

void TIPAddress::SetAccessibleName(const QString& name) {
  setAccessibleName(name);
  for (int i = 0; i < 4; ++i)
    m_octets[static_cast<size_t>(i)]->setAccessibleName(name + QStringLiteral(" октет %1").arg(i + 1));
}

int TIPAddress::IndexOf(QObject* object) const {
  for (int i = 0; i < 4; ++i)
    if (m_octets[static_cast<size_t>(i)] == object) return i;
  return -1;
}

void TIPAddress::FocusOctet(int index, Entry entry) {
  QLineEdit* octet = m_octets[static_cast<size_t>(index)];
  octet->setFocus(Qt::OtherFocusReason);
  switch (entry) {
    case Entry::SelectAll: octet->selectAll(); break;
    case Entry::AtStart:
      octet->deselect();
      octet->setCursorPosition(0);
      break;
    case Entry::AtEnd:
      octet->deselect();
      octet->setCursorPosition(static_cast<int>(octet->text().size()));
      break;
  }
}

bool TIPAddress::eventFilter(QObject* watched, QEvent* event) {
  const int index = IndexOf(watched);
  if (index >= 0 && index == m_moved_on_to && event->type() == QEvent::FocusOut) m_moved_on_to = -1;
  if (index < 0 || event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool moved_on_by_digits = index == m_moved_on_to;
  m_moved_on_to = -1;
  const QLineEdit* octet = m_octets[static_cast<size_t>(index)];
  const bool at_start = octet->cursorPosition() == 0 && !octet->hasSelectedText();
  const bool at_end = octet->cursorPosition() == octet->text().size() && !octet->hasSelectedText();
  switch (key->key()) {
    case Qt::Key_Period:
    case Qt::Key_Comma:
      // The dot after three digits, which have moved on already, does
      // nothing, whatever the octet they moved to holds; so does a dot in an
      // empty octet.
      if (index < 3 && !moved_on_by_digits && !octet->text().isEmpty()) FocusOctet(index + 1, Entry::SelectAll);
      return true;  // a dot is never part of an octet
    case Qt::Key_Right:
      // The cursor walks over the dot: from the end of one octet to the
      // start of the next, and back.
      if (index < 3 && at_end && key->modifiers() == Qt::NoModifier) {
        FocusOctet(index + 1, Entry::AtStart);
        return true;
      }
      break;
    case Qt::Key_Left:
      if (index > 0 && at_start && key->modifiers() == Qt::NoModifier) {
        FocusOctet(index - 1, Entry::AtEnd);
        return true;
      }
      break;
    case Qt::Key_Backspace:
      if (index > 0 && octet->text().isEmpty()) {
        FocusOctet(index - 1, Entry::AtEnd);
        return true;
      }
      break;
    case Qt::Key_Backtab:
      // Out of the field backwards from any octet, as from the first.
      if (index > 0) {
        m_octets[0]->setFocus(Qt::BacktabFocusReason);
        return focusNextPrevChild(false);
      }
      break;
    default:
      break;
  }
  return QFrame::eventFilter(watched, event);
}

}  // namespace tamlo
