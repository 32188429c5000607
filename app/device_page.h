#pragma once
// What the main window needs of the device window page: the first look at
// keyboard shortcuts while the page is shown, and the state of a modem
// connection for the connection clock. The device window implements it; the
// main window starts its clock when told that a modem connection was made.
#include <QKeyEvent>
#include <chrono>
#include <cstdint>

namespace tamlo {

// The millisecond tick count both sides measure a connection with. It wraps
// after about 49 days; durations are unsigned 32-bit differences.
inline uint32_t MillisecondTicks() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

class DevicePage {
 public:
  virtual ~DevicePage() = default;

  // A key press seen while the device page is visible, before the main
  // window's own shortcuts. Returns true when the page handled it; the key
  // then goes no further.
  virtual bool FormShortCut(const QKeyEvent& key) = 0;

  // True between a successful modem dial and the hang-up.
  virtual bool ConnectedViaModem() const = 0;

  // MillisecondTicks() when the modem connection was made.
  virtual uint32_t ConnectionStartTick() const = 0;
};

}  // namespace tamlo
