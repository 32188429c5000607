#pragma once
// The two sides of the main window and the device window page, header-only
// so the device window needs no link to the program's library:
// - DevicePage, implemented by the device window: the first look at keyboard
//   shortcuts while the page is shown, and the state of a modem connection;
// - ConnectionClock, implemented by the main window: started by the device
//   window right after a modem connection is made.
// Everything else the device window uses of the main window (the page set,
// the event code list, the dialogs) it gets as references when it is built.
#include <QKeyEvent>
#include <cstdint>

namespace tamlo {

class DevicePage {
 public:
  virtual ~DevicePage() = default;

  // A key press seen while the device page is visible, before the main
  // window's own shortcuts. Returns true when the page handled it; the key
  // then goes no further.
  virtual bool FormShortCut(const QKeyEvent& key) = 0;

  // True between a successful modem dial and the hang-up.
  virtual bool ConnectedViaModem() const = 0;

  // The link Clock's NowMs() when the modem connection was made; the main
  // window reads the same clock, and the unsigned 32-bit difference survives
  // the tick count's wrap after about 49 days.
  virtual uint32_t ConnectionStartTick() const = 0;
};

class ConnectionClock {
 public:
  virtual ~ConnectionClock() = default;
  // Starts the one-second clock and shows the duration at once; the clock
  // stops and hides by itself when the page reports no modem connection.
  virtual void StartConnectionClock() = 0;
};

}  // namespace tamlo
