#pragma once
// What the tests of the real ports (the POSIX terminal port, the Qt Serial
// Port adapter) share: the adapter under test: the far end of a pseudo-terminal, the line settings of
// a local exchange and a read loop over the port contract.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "link/serial_port.h"

namespace tamlo::link::testing {

// A new, closed port of the adapter under test; each adapter's test program
// defines it, the contract tests use it.
std::unique_ptr<SerialPort> MakePortUnderTest();

// The master side of a fresh pseudo-terminal, in raw mode.
class PtyPeer {
 public:
  PtyPeer() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return;
    termios t{};
    tcgetattr(m_master, &t);
    cfmakeraw(&t);
    tcsetattr(m_master, TCSANOW, &t);
    m_path = ptsname(m_master);
  }
  ~PtyPeer() { Hangup(); }
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;
  const std::string& path() const { return m_path; }
  void Send(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(write(m_master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // What arrives within a generous time, up to `count` bytes.
  std::vector<uint8_t> Receive(size_t count) {
    std::vector<uint8_t> got;
    uint8_t buffer[512];
    while (got.size() < count) {
      pollfd p{m_master, POLLIN, 0};
      if (poll(&p, 1, 2000) <= 0) break;
      const ssize_t n = read(m_master, buffer, sizeof buffer);
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }
  void Hangup() {
    if (m_master >= 0) close(m_master);
    m_master = -1;
  }

 private:
  int m_master = -1;
  std::string m_path;
};

inline PortSettings Raw115200() {
  PortSettings s;
  s.baud = 115200;
  s.raw_8n1 = true;
  s.dtr_on = true;
  s.rts_on = true;
  return s;
}

// Every byte value, the line's own controls included (CR, LF, XON, XOFF,
// ^C, ^D).
inline std::vector<uint8_t> EveryByteValue() {
  std::vector<uint8_t> all(256);
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint8_t>(i);
  return all;
}

// Writes all of `bytes`, call after call as the port takes them.
inline void WriteAll(SerialPort& port, const std::vector<uint8_t>& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    size_t written = 0;
    ASSERT_TRUE(port.Write(bytes.data() + sent, bytes.size() - sent, written)) << port.LastErrorText();
    sent += written;
  }
}

// Reads until `count` bytes came or the port returns nothing several times.
inline std::vector<uint8_t> ReadFromPort(SerialPort& port, size_t count) {
  std::vector<uint8_t> got;
  uint8_t buffer[300];
  for (int empty = 0; got.size() < count && empty < 20;) {
    size_t n = 0;
    if (!port.Read(buffer, sizeof buffer, n)) break;
    empty = n == 0 ? empty + 1 : 0;
    got.insert(got.end(), buffer, buffer + n);
  }
  return got;
}

}  // namespace tamlo::link::testing
