#pragma once
// The system's serial ports through QSerialPortInfo, by port name ("ttyUSB0",
// "COM3"): the names the link's Qt serial port opens.
#include "device/device_seams.h"

namespace tamlo {

class QtPortEnumerator final : public device::PortEnumerator {
 public:
  std::vector<std::string> EnumerateComPorts() override;
};

}  // namespace tamlo
