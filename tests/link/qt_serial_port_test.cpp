// The Qt Serial Port adapter, the GUI's port, against a pseudo-terminal as
// the POSIX terminal port is tested: every byte value both ways, a read that
// ends empty after its wait, the settings read back, a pseudo-terminal
// without carrier, and failures as the system's error number and text.
#include "link/qt/qt_serial_port.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <vector>

#include "pty_peer.h"

namespace tamlo::link {
namespace {

using testing::EveryByteValue;
using testing::PtyPeer;
using testing::Raw115200;
using testing::ReadFromPort;
using testing::WriteAll;

// QSerialPort's notifiers want an application object on the thread.
void EnsureApplication() {
  static int argc = 1;
  static char name[] = "link_qt_port_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  (void)app;
}

void ExpectSystemError(const SerialPort& port, int error) {
  EXPECT_EQ(port.LastErrorCode(), static_cast<uint32_t>(error));
  EXPECT_EQ(port.LastErrorText(), std::strerror(error));
}

TEST(QtSerialPortTest, RawLine_CarriesEveryByteValueBothWays_EmptyReadAfterItsWait) {
  EnsureApplication();
  PtyPeer peer;
  ASSERT_FALSE(peer.path().empty());
  QtSerialPort port;
  ASSERT_TRUE(port.Open(peer.path())) << port.LastErrorText();
  ASSERT_TRUE(port.SetSettings(Raw115200())) << port.LastErrorText();
  ASSERT_TRUE(port.SetTimeouts());

  uint8_t buffer[16];
  size_t got = 1;
  EXPECT_TRUE(port.Read(buffer, sizeof buffer, got)) << port.LastErrorText();  // nothing came: not a failure
  EXPECT_EQ(got, 0u);

  const std::vector<uint8_t> all = EveryByteValue();
  WriteAll(port, all);
  EXPECT_EQ(peer.Receive(all.size()), all);
  peer.Send(all);
  EXPECT_EQ(ReadFromPort(port, all.size()), all);
  EXPECT_FALSE(port.CarrierDetected());  // a pseudo-terminal has no modem lines
}

TEST(QtSerialPortTest, Settings_ReadBackAsSet) {
  EnsureApplication();
  PtyPeer peer;
  QtSerialPort port;
  ASSERT_TRUE(port.Open(peer.path())) << port.LastErrorText();
  struct Case {
    uint32_t baud;
    bool xon_xoff, rts_cts;
  } cases[] = {{115200, false, false}, {19200, true, false}, {57600, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.baud);
    PortSettings set = Raw115200();
    set.baud = c.baud;
    set.xon_xoff = c.xon_xoff;
    set.rts_cts = c.rts_cts;
    ASSERT_TRUE(port.SetSettings(set)) << port.LastErrorText();
    PortSettings got;
    ASSERT_TRUE(port.GetSettings(got)) << port.LastErrorText();
    EXPECT_EQ(got.baud, c.baud);
    EXPECT_TRUE(got.raw_8n1);
    EXPECT_EQ(got.xon_xoff, c.xon_xoff);
    EXPECT_EQ(got.rts_cts, c.rts_cts);
    EXPECT_FALSE(got.xon_limit.has_value());  // Qt has none
  }
  ASSERT_TRUE(port.Purge()) << port.LastErrorText();
  EXPECT_TRUE(port.Queues().has_value());
}

// The numbers and texts the console tool shows for the same failures: a
// missing port, one that another port object holds, a vanished line.
TEST(QtSerialPortTest, Failures_AreTheSystemsErrorNumberAndText) {
  EnsureApplication();
  QtSerialPort missing;
  EXPECT_FALSE(missing.Open("/dev/tamlo-no-such-port"));
  ExpectSystemError(missing, ENOENT);

  PtyPeer peer;
  QtSerialPort first, second;
  ASSERT_TRUE(first.Open(peer.path())) << first.LastErrorText();
  EXPECT_FALSE(second.Open(peer.path()));
  ExpectSystemError(second, EBUSY);
  EXPECT_FALSE(second.IsOpen());

  ASSERT_TRUE(first.SetSettings(Raw115200())) << first.LastErrorText();
  peer.Hangup();
  uint8_t buffer[8];
  size_t got = 0;
  EXPECT_FALSE(first.Read(buffer, sizeof buffer, got));
  EXPECT_EQ(got, 0u);
  ExpectSystemError(first, EIO);

  first.Close();
  PortSettings settings;
  EXPECT_FALSE(first.GetSettings(settings));
  ExpectSystemError(first, EBADF);
  EXPECT_FALSE(first.Queues().has_value());
  EXPECT_FALSE(first.CarrierDetected());
}

}  // namespace
}  // namespace tamlo::link
