// The contract every real port keeps, run on each adapter (the POSIX
// terminal port, the Qt Serial Port adapter) against a pseudo-terminal:
// every byte value both ways, a read that ends empty after its wait, the
// settings read back, purging, exclusive opening, and failures as the
// system's error number and text (the same numbers and texts in the window
// and in the console tool).
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "pty_peer.h"

namespace tamlo::link {
namespace {

using testing::EveryByteValue;
using testing::MakePortUnderTest;
using testing::PtyPeer;
using testing::Raw115200;
using testing::ReadFromPort;
using testing::WriteAll;

void ExpectSystemError(const SerialPort& port, int error) {
  EXPECT_EQ(port.LastErrorCode(), static_cast<uint32_t>(error));
  EXPECT_EQ(port.LastErrorText(), std::strerror(error));
}

TEST(SerialPortContract, RawLine_CarriesEveryByteValueBothWays_EmptyReadAfterItsWait) {
  PtyPeer peer;
  ASSERT_FALSE(peer.path().empty());
  const auto port = MakePortUnderTest();
  ASSERT_TRUE(port->Open(peer.path())) << port->LastErrorText();
  ASSERT_TRUE(port->SetSettings(Raw115200())) << port->LastErrorText();
  ASSERT_TRUE(port->SetTimeouts());

  uint8_t buffer[16];
  size_t got = 1;
  EXPECT_TRUE(port->Read(buffer, sizeof buffer, got)) << port->LastErrorText();  // nothing came: not a failure
  EXPECT_EQ(got, 0u);

  const std::vector<uint8_t> all = EveryByteValue();
  WriteAll(*port, all);
  EXPECT_EQ(peer.Receive(all.size()), all);
  peer.Send(all);
  EXPECT_EQ(ReadFromPort(*port, all.size()), all);
  EXPECT_FALSE(port->CarrierDetected());  // a pseudo-terminal has no modem lines
}

TEST(SerialPortContract, Settings_ReadBackAsSet) {
  PtyPeer peer;
  const auto port = MakePortUnderTest();
  ASSERT_TRUE(port->Open(peer.path())) << port->LastErrorText();
  struct Case {
    uint32_t baud;
    bool xon_xoff, rts_cts;
  } cases[] = {{115200, false, false}, {9600, true, false}, {19200, true, false}, {57600, false, true},
               {4000000, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.baud);
    PortSettings set = Raw115200();
    set.baud = c.baud;
    set.xon_xoff = c.xon_xoff;
    set.rts_cts = c.rts_cts;
    ASSERT_TRUE(port->SetSettings(set)) << port->LastErrorText();
    PortSettings got;
    ASSERT_TRUE(port->GetSettings(got)) << port->LastErrorText();
    EXPECT_EQ(got.baud, c.baud);
    EXPECT_TRUE(got.raw_8n1);
    EXPECT_EQ(got.xon_xoff, c.xon_xoff);
    EXPECT_EQ(got.rts_cts, c.rts_cts);
    EXPECT_FALSE(got.xon_limit.has_value());  // only Windows has them
  }
}

TEST(SerialPortContract, Purge_DropsWaitingInput_QueuesReportIt) {
  PtyPeer peer;
  const auto port = MakePortUnderTest();
  ASSERT_TRUE(port->Open(peer.path()));
  ASSERT_TRUE(port->SetSettings(Raw115200()));
  peer.Send({1, 2, 3, 4});
  // The bytes are in the driver once the first has come.
  uint8_t first = 0;
  size_t got = 0;
  ASSERT_TRUE(port->Read(&first, 1, got));
  ASSERT_EQ(got, 1u);
  const std::optional<PortQueues> queues = port->Queues();
  ASSERT_TRUE(queues.has_value());
  EXPECT_EQ(queues->current_rx, 3);
  ASSERT_TRUE(port->Purge()) << port->LastErrorText();
  EXPECT_TRUE(ReadFromPort(*port, 1).empty());
}

// A missing port, one that another port object holds, a vanished line, a
// closed port.
TEST(SerialPortContract, Failures_AreTheSystemsErrorNumberAndText) {
  const auto missing = MakePortUnderTest();
  EXPECT_FALSE(missing->Open("/dev/tamlo-no-such-port"));
  ExpectSystemError(*missing, ENOENT);

  PtyPeer peer;
  const auto first = MakePortUnderTest();
  const auto second = MakePortUnderTest();
  ASSERT_TRUE(first->Open(peer.path())) << first->LastErrorText();
  EXPECT_FALSE(second->Open(peer.path()));
  ExpectSystemError(*second, EBUSY);
  EXPECT_FALSE(second->IsOpen());
  first->Close();
  ASSERT_TRUE(second->Open(peer.path())) << second->LastErrorText();

  ASSERT_TRUE(second->SetSettings(Raw115200())) << second->LastErrorText();
  peer.Hangup();
  uint8_t buffer[8];
  size_t got = 0;
  EXPECT_FALSE(second->Read(buffer, sizeof buffer, got));
  EXPECT_EQ(got, 0u);
  ExpectSystemError(*second, EIO);

  second->Close();
  PortSettings settings;
  EXPECT_FALSE(second->GetSettings(settings));
  ExpectSystemError(*second, EBADF);
  EXPECT_FALSE(second->Read(buffer, sizeof buffer, got));
  ExpectSystemError(*second, EBADF);
  EXPECT_FALSE(second->Write(buffer, sizeof buffer, got));
  ExpectSystemError(*second, EBADF);
  EXPECT_FALSE(second->Queues().has_value());
  EXPECT_FALSE(second->CarrierDetected());
}

}  // namespace
}  // namespace tamlo::link
