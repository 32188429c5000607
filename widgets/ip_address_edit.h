#pragma once
// TIPAddress: the IPv4 address field of the LAN extender page, modelled on
// the system's IP address control: four octet fields of up to three digits
// (0 to 255) with dots between them, inside one white edit frame.
//
// The address is a uint32_t with the first octet in the most significant byte:
// 192.168.1.10 is 0xC0A8010A, 255.255.255.0 is 0xFFFFFF00. A blank octet reads
// as 0, so a blank field (all four octets empty) reads 0. Setting an address
// fills all four octets ("0.0.0.0" for 0); ClearAddress() blanks them.
// An address set before the field is first shown is kept and shown.
//
// Keys: a digit that completes three digits and "." after a digit go on to
// the next octet and select it; the "." typed right after three digits is
// the dot that move already made and is dropped, so a dotted quad typed over
// an old address gives exactly the address typed. Right at the end of an octet goes to the
// start of the next, Left at the start of an octet and Backspace in an empty
// one go back to the end of the previous. The field is one stop in the Tab
// order.
#include <QFrame>
#include <QString>
#include <array>
#include <cstdint>

class QLineEdit;

namespace tamlo {

class TIPAddress : public QFrame {
  Q_OBJECT
 public:
  explicit TIPAddress(QWidget* parent = nullptr);

  uint32_t GetAddress() const;
  void SetAddress(uint32_t address);
  void ClearAddress();
  // True when all four octets are empty.
  bool IsBlank() const;

  // The field's name for screen readers; each octet is named "<name> октет N".
  void SetAccessibleName(const QString& name);

  // Octet 0..3, for tests and for focus handling by a page.
  QLineEdit* Octet(int index) const { return m_octets[static_cast<size_t>(index)]; }

 signals:
  // The user changed an octet.
  void addressEdited();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // How the cursor enters an octet: its text selected (typing replaces it),
  // or the cursor at its start or end.
  enum class Entry { SelectAll, AtStart, AtEnd };
  void FocusOctet(int index, Entry entry);
  int IndexOf(QObject* object) const;

  std::array<QLineEdit*, 4> m_octets{};
  // The octet that three digits moved on to, until its next key or until it
  // loses the focus; -1 when none.
  int m_moved_on_to = -1;
};

}  // namespace tamlo
