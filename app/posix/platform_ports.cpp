#include "app/platform_ports.h"

#include "device/qt/qt_port_enumerator.h"
#include "link/qt/qt_serial_port.h"

namespace tamlo {

std::unique_ptr<link::SerialPort> NewProgramSerialPort() { return std::make_unique<link::QtSerialPort>(); }

std::unique_ptr<device::PortEnumerator> NewProgramPortEnumerator() { return std::make_unique<QtPortEnumerator>(); }

}  // namespace tamlo
