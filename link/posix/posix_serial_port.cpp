#include "link/posix/posix_serial_port.h"

#include "link/system_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tamlo::link {
namespace {

struct BaudRate {
  uint32_t baud;
  speed_t speed;
};

constexpr BaudRate kBaudRates[] = {
    {1200, B1200},       {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},
    {38400, B38400},     {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},
    {500000, B500000},   {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000},
    {4000000, B4000000},
};

bool SpeedOf(uint32_t baud, speed_t& speed) {
  for (const BaudRate& rate : kBaudRates) {
    if (rate.baud == baud) {
      speed = rate.speed;
      return true;
    }
  }
  return false;
}

uint32_t BaudOf(speed_t speed) {
  for (const BaudRate& rate : kBaudRates)
    if (rate.speed == speed) return rate.baud;
  return 0;
}

// One poll() for `events`, at most `wait_ms`; a signal ends the wait early
// (the caller's next round waits again). >0 ready, 0 not ready, <0 failed.
int WaitFor(int fd, short events, uint32_t wait_ms, short& revents) {
  pollfd p{fd, events, 0};
  const int r = ::poll(&p, 1, static_cast<int>(wait_ms));
  revents = p.revents;
  if (r < 0 && errno == EINTR) return 0;
  return r;
}

}  // namespace

std::string PosixDevicePath(const std::string& name) {
  const std::string plain = PlainPortName(name);
  return plain.find('/') == std::string::npos ? "/dev/" + plain : plain;
}

std::unique_ptr<SerialPort> NewSystemSerialPort() { return std::make_unique<PosixSerialPort>(); }

PosixSerialPort::~PosixSerialPort() { Close(); }

bool PosixSerialPort::Ok() {
  m_error = 0;
  m_error_text.clear();
  return true;
}

bool PosixSerialPort::Fail(int error) {
  m_error = static_cast<uint32_t>(error);
  m_error_text = std::strerror(error);
  return false;
}

bool PosixSerialPort::Open(const std::string& name) {
  Close();
  const int fd = ::open(PosixDevicePath(name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fail(errno);
  // Another program's lock, or its TIOCEXCL (which already failed the open
  // above), means the port is busy.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    return Fail(error);
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    const int error = errno;
    ::close(fd);
    return Fail(error);
  }
  m_fd = fd;
  return Ok();
}

void PosixSerialPort::Close() {
  if (m_fd < 0) return;
  ::ioctl(m_fd, TIOCNXCL);
  ::close(m_fd);  // also releases the flock
  m_fd = -1;
}

bool PosixSerialPort::GetSettings(PortSettings& settings) {
  if (m_fd < 0) return Fail(EBADF);
  termios t{};
  if (::tcgetattr(m_fd, &t) != 0) return Fail(errno);
  settings = {};
  settings.baud = BaudOf(::cfgetospeed(&t));
  settings.raw_8n1 = (t.c_cflag & CSIZE) == CS8 && !(t.c_cflag & (PARENB | CSTOPB)) &&
                     !(t.c_lflag & (ICANON | ECHO | ISIG)) && !(t.c_iflag & (INPCK | ISTRIP | ICRNL | IGNBRK)) &&
                     !(t.c_oflag & OPOST);
  settings.xon_xoff = (t.c_iflag & (IXON | IXOFF)) != 0;
  settings.rts_cts = (t.c_cflag & CRTSCTS) != 0;
  int lines = 0;
  if (::ioctl(m_fd, TIOCMGET, &lines) == 0) {
    settings.dtr_on = (lines & TIOCM_DTR) != 0;
    settings.rts_on = (lines & TIOCM_RTS) != 0;
  }
  return Ok();
}

bool PosixSerialPort::SetSettings(const PortSettings& settings) {
  if (m_fd < 0) return Fail(EBADF);
  termios t{};
  if (::tcgetattr(m_fd, &t) != 0) return Fail(errno);
  speed_t speed = B0;
  if (!SpeedOf(settings.baud, speed)) return Fail(EINVAL);
  if (settings.raw_8n1) {
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    t.c_cflag |= CS8;
  }
  t.c_cflag |= CLOCAL | CREAD;
  if (settings.rts_cts) t.c_cflag |= CRTSCTS;
  else t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
  if (settings.xon_xoff) t.c_iflag |= IXON | IXOFF;
  else t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  // Reads never block in the driver: poll() does the waiting.
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return Fail(errno);
  if (::tcsetattr(m_fd, TCSANOW, &t) != 0) return Fail(errno);
  // Modem lines: a device without them (a pseudo-terminal) is not an error.
  int dtr = TIOCM_DTR;
  ::ioctl(m_fd, settings.dtr_on ? TIOCMBIS : TIOCMBIC, &dtr);
  if (!settings.rts_cts) {
    int rts = TIOCM_RTS;
    ::ioctl(m_fd, settings.rts_on ? TIOCMBIS : TIOCMBIC, &rts);
  }
  return Ok();
}

bool PosixSerialPort::Purge() {
  if (m_fd < 0) return Fail(EBADF);
  if (::tcflush(m_fd, TCIOFLUSH) != 0) return Fail(errno);
  return Ok();
}

// The waits are applied per call in Read() and Write().
bool PosixSerialPort::SetTimeouts() { return m_fd >= 0 ? Ok() : Fail(EBADF); }

std::optional<PortQueues> PosixSerialPort::Queues() {
  if (m_fd < 0) return std::nullopt;
  int out = 0;
  int in = 0;
  if (::ioctl(m_fd, TIOCOUTQ, &out) != 0 || ::ioctl(m_fd, FIONREAD, &in) != 0) return std::nullopt;
  return PortQueues{0, 0, out, in};
}

bool PosixSerialPort::Read(uint8_t* buffer, size_t capacity, size_t& got) {
  got = 0;
  if (m_fd < 0) return Fail(EBADF);
  short revents = 0;
  const int ready = WaitFor(m_fd, POLLIN, kReadWaitMs, revents);
  if (ready < 0) return Fail(errno);
  if (ready == 0) return Ok();
  const ssize_t n = ::read(m_fd, buffer, capacity);
  if (n > 0) {
    got = static_cast<size_t>(n);
    return Ok();
  }
  if (n < 0 && errno != EAGAIN && errno != EINTR) return Fail(errno);
  // Ready but nothing to read: the line hung up.
  if (revents & (POLLHUP | POLLERR)) return Fail(EIO);
  return Ok();
}

bool PosixSerialPort::Write(const uint8_t* data, size_t size, size_t& written) {
  written = 0;
  if (m_fd < 0) return Fail(EBADF);
  short revents = 0;
  const int ready = WaitFor(m_fd, POLLOUT, kWriteWaitMs, revents);
  if (ready < 0) return Fail(errno);
  if (ready == 0) return Ok();
  const ssize_t n = ::write(m_fd, data, size);
  if (n < 0) return errno == EAGAIN || errno == EINTR ? Ok() : Fail(errno);
  written = static_cast<size_t>(n);
  return Ok();
}

bool PosixSerialPort::CarrierDetected() {
  int lines = 0;
  return m_fd >= 0 && ::ioctl(m_fd, TIOCMGET, &lines) == 0 && (lines & TIOCM_CAR) != 0;
}

}  // namespace tamlo::link
