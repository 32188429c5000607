// The POSIX terminal port: the shared contract (serial_port_contract_test.cpp)
// and what only it has: speeds outside the table refused, device names.
#include "link/posix/posix_serial_port.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include "pty_peer.h"

namespace tamlo::link {

std::unique_ptr<SerialPort> testing::MakePortUnderTest() { return std::make_unique<PosixSerialPort>(); }

namespace {

TEST(PosixSerialPortTest, UnknownBaudRefused_NamesWithoutFolderAreInDev) {
  testing::PtyPeer peer;
  PosixSerialPort port;
  ASSERT_TRUE(port.Open(peer.path())) << port.LastErrorText();
  PortSettings odd = testing::Raw115200();
  odd.baud = 12345;
  EXPECT_FALSE(port.SetSettings(odd));
  EXPECT_EQ(port.LastErrorCode(), static_cast<uint32_t>(EINVAL));
  EXPECT_FALSE(port.LastErrorText().empty());

  EXPECT_EQ(PosixDevicePath("ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(PosixDevicePath("\\\\.\\COM3"), "/dev/COM3");
  EXPECT_EQ(PosixDevicePath("/tmp/ttyTAMLO"), "/tmp/ttyTAMLO");
}

}  // namespace
}  // namespace tamlo::link
