#include "sim/sim_port.h"

#include <thread>

#include "sim/demo_site.h"

namespace tamlo::sim {
namespace {
constexpr uint64_t kNsPerMs = 1'000'000;
constexpr uint32_t kBusyError = 16;        // EBUSY
constexpr uint32_t kNotOpenError = 9;      // EBADF
}  // namespace

SimPort::SimPort(std::shared_ptr<SimDevice> device, link::ManualClock& clock)
    : m_device(std::move(device)), m_manual(&clock), m_last_ms(clock.NowMs()) {}

SimPort::SimPort(std::shared_ptr<SimDevice> device)
    : m_device(std::move(device)), m_start(std::chrono::steady_clock::now()) {}

uint64_t SimPort::NowNs() {
  if (m_manual) {
    // The tick count wraps; its differences do not.
    const uint32_t now = m_manual->NowMs();
    m_manual_ns += uint64_t(now - m_last_ms) * kNsPerMs;
    m_last_ms = now;
    return m_manual_ns;
  }
  return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - m_start)
                      .count());
}

void SimPort::WaitUntil(uint64_t at_ns) {
  const uint64_t now = NowNs();
  if (at_ns <= now) return;
  if (m_manual) {
    m_manual->Advance(uint32_t((at_ns - now + kNsPerMs - 1) / kNsPerMs));
    return;
  }
  std::this_thread::sleep_until(m_start + std::chrono::nanoseconds(at_ns));
}

bool SimPort::Fail(uint32_t code, const char* text) {
  m_error = code;
  m_error_text = text;
  return false;
}

bool SimPort::Open(const std::string&) {
  if (m_open) return Fail(kBusyError, "Device or resource busy");
  m_open = true;
  m_settings = {};
  m_settings.baud = 9600;
  return true;
}

void SimPort::Close() { m_open = false; }

bool SimPort::GetSettings(link::PortSettings& settings) {
  if (!m_open) return Fail(kNotOpenError, "Bad file descriptor");
  settings = m_settings;
  return true;
}

bool SimPort::SetSettings(const link::PortSettings& settings) {
  if (!m_open) return Fail(kNotOpenError, "Bad file descriptor");
  m_settings = settings;
  m_device->SetHostBaud(settings.baud);
  return true;
}

bool SimPort::Purge() {
  if (!m_open) return Fail(kNotOpenError, "Bad file descriptor");
  m_device->HostPurge(NowNs());
  return true;
}

bool SimPort::SetTimeouts() { return m_open || Fail(kNotOpenError, "Bad file descriptor"); }

std::optional<link::PortQueues> SimPort::Queues() {
  if (!m_open) return std::nullopt;
  link::PortQueues q;
  q.current_rx = int(m_device->HostAvailable(NowNs()));
  return q;
}

bool SimPort::Read(uint8_t* buffer, size_t capacity, size_t& got) {
  got = 0;
  if (!m_open) return Fail(kNotOpenError, "Bad file descriptor");
  const uint64_t deadline = NowNs() + link::kReadWaitMs * kNsPerMs;
  for (;;) {
    got = m_device->HostReceive(buffer, capacity, NowNs());
    if (got > 0) return true;
    const uint64_t next = m_device->NextEventNs();
    if (next > deadline) {
      WaitUntil(deadline);
      got = m_device->HostReceive(buffer, capacity, NowNs());
      return true;
    }
    WaitUntil(next);
  }
}

bool SimPort::Write(const uint8_t* data, size_t size, size_t& written) {
  written = 0;
  if (!m_open) return Fail(kNotOpenError, "Bad file descriptor");
  m_device->HostSend(data, size, NowNs());
  written = size;
  return true;
}

DeviceSettings DemoDeviceSettings(const link::Clock& clock) {
  DeviceSettings settings;
  const link::LocalDateTime now = clock.LocalNow();
  if (now.year >= 2012 && now.year < 2100)
    settings.device_time = DeviceTimeOf(now.year, now.month, now.day, now.hour, now.minute, now.second);
  settings.image = DemoSiteImage(settings.device_time);
  return settings;
}

std::unique_ptr<link::SerialPort> MakeDemoPort(DeviceSettings settings, Faults faults, uint32_t baud) {
  return std::make_unique<SimPort>(std::make_shared<SimDevice>(std::move(settings), std::move(faults), baud));
}

}  // namespace tamlo::sim
