// The POSIX terminal port against a pseudo-terminal: every byte value both
// ways, the settings read back, exclusive opening, purging, and a hung-up
// line reported as a failure.
#include "link/posix/posix_serial_port.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "pty_peer.h"

namespace tamlo::link {
namespace {

using testing::EveryByteValue;
using testing::PtyPeer;
using testing::Raw115200;
using testing::ReadFromPort;
using testing::WriteAll;

TEST(PosixSerialPortTest, RawLine_CarriesEveryByteValueBothWays) {
  PtyPeer peer;
  ASSERT_FALSE(peer.path().empty());
  PosixSerialPort port;
  ASSERT_TRUE(port.Open(peer.path())) << port.LastErrorText();
  ASSERT_TRUE(port.SetSettings(Raw115200())) << port.LastErrorText();
  ASSERT_TRUE(port.SetTimeouts());

  const std::vector<uint8_t> all = EveryByteValue();
  WriteAll(port, all);
  EXPECT_EQ(peer.Receive(all.size()), all);

  peer.Send(all);
  EXPECT_EQ(ReadFromPort(port, all.size()), all);
}

TEST(PosixSerialPortTest, Settings_ReadBackAsSet_UnknownBaudRefused) {
  PtyPeer peer;
  PosixSerialPort port;
  ASSERT_TRUE(port.Open(peer.path())) << port.LastErrorText();
  struct Case {
    uint32_t baud;
    bool xon_xoff, rts_cts;
  } cases[] = {{115200, false, false}, {9600, true, false}, {57600, false, true}, {4000000, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.baud);
    PortSettings set = Raw115200();
    set.baud = c.baud;
    set.xon_xoff = c.xon_xoff;
    set.rts_cts = c.rts_cts;
    ASSERT_TRUE(port.SetSettings(set)) << port.LastErrorText();
    PortSettings got;
    ASSERT_TRUE(port.GetSettings(got));
    EXPECT_EQ(got.baud, c.baud);
    EXPECT_TRUE(got.raw_8n1);
    EXPECT_EQ(got.xon_xoff, c.xon_xoff);
    EXPECT_EQ(got.rts_cts, c.rts_cts);
    EXPECT_FALSE(got.xon_limit.has_value());  // POSIX has none
  }
  PortSettings odd = Raw115200();
  odd.baud = 12345;
  EXPECT_FALSE(port.SetSettings(odd));
  EXPECT_EQ(port.LastErrorCode(), static_cast<uint32_t>(EINVAL));
  EXPECT_FALSE(port.LastErrorText().empty());
  EXPECT_FALSE(port.CarrierDetected());  // a pseudo-terminal has no modem lines
}

TEST(PosixSerialPortTest, OpenIsExclusive_MissingDeviceFails_NamesWithoutFolderAreInDev) {
  PtyPeer peer;
  PosixSerialPort first, second;
  ASSERT_TRUE(first.Open(peer.path())) << first.LastErrorText();
  EXPECT_FALSE(second.Open(peer.path()));
  EXPECT_EQ(second.LastErrorCode(), static_cast<uint32_t>(EBUSY));
  EXPECT_FALSE(second.IsOpen());
  first.Close();
  EXPECT_TRUE(second.Open(peer.path())) << second.LastErrorText();

  PosixSerialPort missing;
  EXPECT_FALSE(missing.Open("/dev/tamlo-no-such-port"));
  EXPECT_EQ(missing.LastErrorCode(), static_cast<uint32_t>(ENOENT));

  EXPECT_EQ(PosixDevicePath("ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(PosixDevicePath("\\\\.\\COM3"), "/dev/COM3");
  EXPECT_EQ(PosixDevicePath("/tmp/ttyTAMLO"), "/tmp/ttyTAMLO");
}

TEST(PosixSerialPortTest, Purge_DropsWaitingInput_QueuesReportIt) {
  PtyPeer peer;
  PosixSerialPort port;
  ASSERT_TRUE(port.Open(peer.path()));
  ASSERT_TRUE(port.SetSettings(Raw115200()));
  peer.Send({1, 2, 3, 4});
  // The bytes are in the driver once poll() says so.
  uint8_t first = 0;
  size_t got = 0;
  ASSERT_TRUE(port.Read(&first, 1, got));
  ASSERT_EQ(got, 1u);
  const std::optional<PortQueues> queues = port.Queues();
  ASSERT_TRUE(queues.has_value());
  EXPECT_EQ(queues->current_rx, 3);
  ASSERT_TRUE(port.Purge());
  EXPECT_TRUE(ReadFromPort(port, 1).empty());
}

TEST(PosixSerialPortTest, HungUpLine_IsAReadFailure_ClosedPortFailsEveryCall) {
  PtyPeer peer;
  PosixSerialPort port;
  ASSERT_TRUE(port.Open(peer.path()));
  ASSERT_TRUE(port.SetSettings(Raw115200()));
  peer.Hangup();
  uint8_t buffer[8];
  size_t got = 0;
  EXPECT_FALSE(port.Read(buffer, sizeof buffer, got));
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(port.LastErrorCode(), static_cast<uint32_t>(EIO));

  port.Close();
  PortSettings settings;
  size_t written = 0;
  EXPECT_FALSE(port.GetSettings(settings));
  EXPECT_FALSE(port.Read(buffer, sizeof buffer, got));
  EXPECT_FALSE(port.Write(buffer, sizeof buffer, written));
  EXPECT_FALSE(port.Queues().has_value());
  EXPECT_EQ(port.LastErrorCode(), static_cast<uint32_t>(EBADF));
}

}  // namespace
}  // namespace tamlo::link
