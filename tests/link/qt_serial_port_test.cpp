// The Qt Serial Port adapter, the GUI's port, under the shared contract
// (serial_port_contract_test.cpp).
#include "link/qt/qt_serial_port.h"

#include <QCoreApplication>
#include <memory>

#include "pty_peer.h"

namespace tamlo::link {

std::unique_ptr<SerialPort> testing::MakePortUnderTest() {
  // QSerialPort's notifiers want an application object on the thread.
  static int argc = 1;
  static char name[] = "link_qt_port_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  (void)app;
  return std::make_unique<QtSerialPort>();
}

}  // namespace tamlo::link
