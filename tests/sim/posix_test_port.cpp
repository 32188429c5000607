#include "posix_test_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tamlo::sim::testing {

bool PosixTestPort::Fail() {
  m_error = uint32_t(errno);
  return false;
}

std::string PosixTestPort::LastErrorText() const { return std::strerror(int(m_error)); }

bool PosixTestPort::Open(const std::string& name) {
  if (m_fd >= 0) return errno = EBUSY, Fail();
  m_fd = open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  return m_fd >= 0 || Fail();
}

void PosixTestPort::Close() {
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}

bool PosixTestPort::GetSettings(link::PortSettings& settings) {
  termios t{};
  if (tcgetattr(m_fd, &t) != 0) return Fail();
  settings = {};
  settings.baud = m_baud;
  settings.rts_cts = (t.c_cflag & CRTSCTS) != 0;
  settings.xon_xoff = (t.c_iflag & (IXON | IXOFF)) != 0;
  return true;
}

bool PosixTestPort::SetSettings(const link::PortSettings& settings) {
  termios t{};
  if (tcgetattr(m_fd, &t) != 0) return Fail();
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  if (settings.rts_cts) t.c_cflag |= CRTSCTS;
  else t.c_cflag &= ~CRTSCTS;
  cfsetspeed(&t, B115200);
  if (tcsetattr(m_fd, TCSANOW, &t) != 0) return Fail();
  m_baud = settings.baud;
  return true;
}

bool PosixTestPort::Purge() { return tcflush(m_fd, TCIOFLUSH) == 0 || Fail(); }

bool PosixTestPort::Read(uint8_t* buffer, size_t capacity, size_t& got) {
  got = 0;
  pollfd p{m_fd, POLLIN, 0};
  const int r = poll(&p, 1, int(link::kReadWaitMs));
  if (r < 0) return errno == EINTR || Fail();
  if (r == 0) return true;
  const ssize_t n = read(m_fd, buffer, capacity);
  if (n < 0) return errno == EAGAIN || Fail();
  got = size_t(n);
  return true;
}

bool PosixTestPort::Write(const uint8_t* data, size_t size, size_t& written) {
  written = 0;
  pollfd p{m_fd, POLLOUT, 0};
  const int r = poll(&p, 1, int(link::kWriteWaitMs));
  if (r < 0) return errno == EINTR || Fail();
  if (r == 0) return true;
  const ssize_t n = write(m_fd, data, size);
  if (n < 0) return errno == EAGAIN || Fail();
  written = size_t(n);
  return true;
}

bool PosixTestPort::CarrierDetected() {
  int status = 0;
  return ioctl(m_fd, TIOCMGET, &status) == 0 && (status & TIOCM_CAR) != 0;
}

}  // namespace tamlo::sim::testing
