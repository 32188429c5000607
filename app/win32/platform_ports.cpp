#include "app/platform_ports.h"

#include "device/win32/registry_port_enumerator.h"
#include "link/system_serial_port.h"

namespace tamlo {

std::unique_ptr<link::SerialPort> NewProgramSerialPort() { return link::NewSystemSerialPort(); }

std::unique_ptr<device::PortEnumerator> NewProgramPortEnumerator() {
  return std::make_unique<device::RegistryPortEnumerator>();
}

}  // namespace tamlo
