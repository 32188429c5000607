#include "app/port_router.h"

#include "app/command_line.h"

namespace tamlo {
namespace {
constexpr uint32_t kNoSuchPortError = 2;  // ENOENT
// The modem answers a dial after a few seconds, long enough to see the
// progress window and try its cancel.
constexpr uint32_t kDemoConnectDelayMs = 3000;
}  // namespace

PortRouter::PortRouter(std::unique_ptr<link::SerialPort> serial, std::unique_ptr<sim::SimPort> demo)
    : m_serial(std::move(serial)), m_demo(std::move(demo)), m_active(m_serial.get()) {}

bool PortRouter::Open(const std::string& name) {
  m_no_demo_error = false;
  if (link::PlainPortName(name) != kDemoPortName) {
    m_active = m_serial.get();
    return m_serial->Open(name);
  }
  if (!m_demo) {
    m_active = m_serial.get();
    m_no_demo_error = true;
    return false;
  }
  m_active = m_demo.get();
  sim::SimDevice& device = m_demo->device();
  const bool remote = m_remote && m_remote();
  if (remote && device.modem() == nullptr) device.AttachModem(sim::ModemSettings{.connect_delay_ms = kDemoConnectDelayMs});
  if (!remote) device.DetachModem();
  return m_demo->Open(name);
}

uint32_t PortRouter::LastErrorCode() const { return m_no_demo_error ? kNoSuchPortError : m_active->LastErrorCode(); }

std::string PortRouter::LastErrorText() const {
  return m_no_demo_error ? "No such file or directory" : m_active->LastErrorText();
}

std::unique_ptr<sim::SimPort> MakeDemoDevice(const link::Clock& clock) {
  return std::make_unique<sim::SimPort>(std::make_shared<sim::SimDevice>(sim::DemoDeviceSettings(clock)));
}

}  // namespace tamlo
