#include "device/qt/qt_port_enumerator.h"

#include <QSerialPortInfo>

namespace tamlo {

std::vector<std::string> QtPortEnumerator::EnumerateComPorts() {
  std::vector<std::string> names;
  for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) names.push_back(port.portName().toStdString());
  return names;
}

}  // namespace tamlo
