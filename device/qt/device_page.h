#pragma once
// What the main window asks of the device window page: the first look at
// keyboard shortcuts while the page is shown, and the state of a modem
// connection. What the device window does to the main window is
// device::MainWindowControl (device_seams.h).
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

}  // namespace tamlo
