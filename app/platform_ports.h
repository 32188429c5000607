#pragma once
// The window's serial port and the list of the system's ports. On POSIX
// systems both come from Qt Serial Port; on Windows the window uses the Win32
// communications port the console tool uses and the port list the system
// keeps in the registry, so one port implementation serves each system's two
// programs.
#include <memory>

#include "device/device_seams.h"
#include "link/serial_port.h"

namespace tamlo {

std::unique_ptr<link::SerialPort> NewProgramSerialPort();
std::unique_ptr<device::PortEnumerator> NewProgramPortEnumerator();

}  // namespace tamlo
