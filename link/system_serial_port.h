#pragma once
// The operating system's serial port behind the seam of serial_port.h,
// without Qt: the termios port (link/posix/) or the Win32 communications
// port (link/win32/), whichever the build links.
#include <memory>

#include "link/serial_port.h"

namespace tamlo::link {

std::unique_ptr<SerialPort> NewSystemSerialPort();

}  // namespace tamlo::link
