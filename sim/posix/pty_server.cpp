#include "sim/posix/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tamlo::sim {
namespace {

constexpr uint64_t kHandOverNs = 1'000'000;  // at most one hand-over per millisecond

bool MakeRaw(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

std::string Errno(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

PtyServer::~PtyServer() {
  if (m_slave >= 0) close(m_slave);
  if (m_master >= 0) close(m_master);
}

bool PtyServer::Open(std::string& error) {
  m_master = posix_openpt(O_RDWR | O_NOCTTY);
  if (m_master < 0) return error = Errno("posix_openpt"), false;
  if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) return error = Errno("grantpt/unlockpt"), false;
  const char* name = ptsname(m_master);
  if (!name) return error = Errno("ptsname"), false;
  m_slave_path = name;
  m_slave = open(name, O_RDWR | O_NOCTTY);
  if (m_slave < 0) return error = Errno(name), false;
  if (!MakeRaw(m_master) || !MakeRaw(m_slave)) return error = Errno("tcsetattr"), false;
  const int flags = fcntl(m_master, F_GETFL);
  if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) return error = Errno("fcntl"), false;
  return true;
}

int PtyServer::Serve(const volatile std::sig_atomic_t& stop, std::string& error) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  auto now_ns = [&start] {
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count());
  };
  sigset_t wait_mask;
  sigemptyset(&wait_mask);

  std::vector<uint8_t> out;  // device bytes the terminal has not taken yet
  uint8_t buffer[4096];
  while (!stop) {
    const uint64_t now = now_ns();
    // Hand over what has reached the host, keeping what the terminal refuses.
    for (;;) {
      const size_t n = m_device.HostReceive(buffer, sizeof buffer, now);
      if (n == 0) break;
      out.insert(out.end(), buffer, buffer + n);
    }
    while (!out.empty()) {
      const ssize_t w = write(m_master, out.data(), out.size());
      if (w < 0) {
        if (errno == EAGAIN || errno == EINTR) break;
        error = Errno("write");
        return 1;
      }
      out.erase(out.begin(), out.begin() + w);
    }

    pollfd fd{m_master, short(POLLIN | (out.empty() ? 0 : POLLOUT)), 0};
    timespec timeout{};
    timespec* wait = nullptr;
    const uint64_t next = m_device.NextEventNs();
    if (next != UINT64_MAX) {
      const uint64_t at = std::max(next, now + kHandOverNs);
      const uint64_t span = at - now;
      timeout.tv_sec = time_t(span / 1'000'000'000);
      timeout.tv_nsec = long(span % 1'000'000'000);
      wait = &timeout;
    }
    const int r = ppoll(&fd, 1, wait, &wait_mask);
    if (r < 0) {
      if (errno == EINTR) continue;
      error = Errno("ppoll");
      return 1;
    }
    if (r > 0 && (fd.revents & POLLIN)) {
      const ssize_t n = read(m_master, buffer, sizeof buffer);
      if (n > 0) {
        m_device.HostSend(buffer, size_t(n), now_ns());
      } else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
        error = Errno("read");
        return 1;
      }
    }
  }
  return 0;
}

}  // namespace tamlo::sim
