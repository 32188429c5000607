#include "cli/device_session.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "config/system_file_system.h"
#include "device/service_log_line.h"
#include "link/clock.h"
#include "link/phone_book.h"
#include "link/system_serial_port.h"
#include "sim/sim_port.h"

namespace tamlo::cli {
namespace {

// The console has no window messages: Ctrl+C is its cancel button, and idle
// waits sleep.
class ConsolePump final : public link::MessagePump {
 public:
  explicit ConsolePump(DeviceSession& session) : m_session(session) {}
  void DispatchPending() override {
    if (TakeInterrupt()) m_session.RequestCancel();
  }
  void IdleWait(uint32_t ms) override { m_sleep.IdleWait(ms); }

 private:
  DeviceSession& m_session;
  link::SleepingPump m_sleep;
};

// With TAMLO_WIRE_STATS set in the environment the tool reports, at the end
// of the exchange, the bytes that crossed the line each way and the time the
// port was open: what the transfer benchmark needs to compare with the line's
// own speed.
class CountingPort final : public link::SerialPort {
 public:
  CountingPort(link::SerialPort& port, const link::Clock& clock) : m_port(&port), m_clock(clock) {}
  ~CountingPort() override {
    std::fprintf(stderr, "wire: sent %llu bytes, received %llu bytes, port open %u ms\n",
                 static_cast<unsigned long long>(m_sent), static_cast<unsigned long long>(m_received), m_open_ms);
  }
  bool Open(const std::string& name) override {
    m_opened_at = m_clock.NowMs();
    return m_port->Open(name);
  }
  void Close() override {
    m_port->Close();
    m_open_ms += m_clock.NowMs() - m_opened_at;
  }
  bool IsOpen() const override { return m_port->IsOpen(); }
  bool GetSettings(link::PortSettings& s) override { return m_port->GetSettings(s); }
  bool SetSettings(const link::PortSettings& s) override { return m_port->SetSettings(s); }
  bool Purge() override { return m_port->Purge(); }
  bool SetTimeouts() override { return m_port->SetTimeouts(); }
  std::optional<link::PortQueues> Queues() override { return m_port->Queues(); }
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override {
    const bool ok = m_port->Read(buffer, capacity, got);
    if (ok) m_received += got;
    return ok;
  }
  bool Write(const uint8_t* data, size_t size, size_t& written) override {
    const bool ok = m_port->Write(data, size, written);
    if (ok) m_sent += written;
    return ok;
  }
  bool CarrierDetected() override { return m_port->CarrierDetected(); }
  uint32_t LastErrorCode() const override { return m_port->LastErrorCode(); }
  std::string LastErrorText() const override { return m_port->LastErrorText(); }

 private:
  link::SerialPort* m_port;
  const link::Clock& m_clock;
  uint64_t m_sent = 0, m_received = 0;
  uint32_t m_opened_at = 0, m_open_ms = 0;
};

}  // namespace

bool CheckOutputBeforeExchange(const std::string& path) {
  const std::string problem = SystemFileSystem().OutputProblem(path);
  if (problem.empty()) return true;
  std::fprintf(stderr, "tamlocfg-cli: cannot write %s: %s\n", path.c_str(), problem.c_str());
  return false;
}

DeviceSession::DeviceSession(const GlobalOptions& options) : m_options(options) {
  if (options.password) m_recorder.CachePassword(*options.password);
}

DeviceSession::~DeviceSession() { m_progress.Finish(); }

int DeviceSession::CheckOptions() const {
  if (!m_options.modem.empty() || m_options.dial_given) {
    // Remote work: --modem PORT (or the demo's simulated modem) and --dial NUMBER together.
    if (!m_options.dial_given || (m_options.modem.empty() && !m_options.demo)) {
      std::fprintf(stderr, "tamlocfg-cli: work through a modem needs --modem PORT (or --demo) and --dial NUMBER\n");
      return kExitUsage;
    }
    if (!m_options.port.empty()) {
      std::fprintf(stderr, "tamlocfg-cli: --port and --modem exclude each other\n");
      return kExitUsage;
    }
    if (link::UsableNumber(m_options.dial).empty()) {
      std::fprintf(stderr, "tamlocfg-cli: --dial needs a phone number (\"+\" and digits)\n");
      return kExitUsage;
    }
    return kExitOk;
  }
  if (m_options.port.empty() && !m_options.demo) {
    std::fprintf(stderr, "tamlocfg-cli: this command needs a device: --port PATH or --demo\n");
    return kExitUsage;
  }
  return kExitOk;
}

bool DeviceSession::remote() const { return !m_options.dial.empty(); }

int DeviceSession::Run(unsigned action, const link::ActionInput& input) {
  std::unique_ptr<link::SerialPort> terminal;
  link::SerialPort* port = nullptr;
  if (m_options.demo) {
    // One demo device with the sample site and one line for the whole
    // command: what a write stores, the read back of --verify finds, and the
    // device's line times and the host's run on the same time base. With
    // --dial the device sits behind a simulated GSM modem.
    if (!m_demo_port) {
      auto device = std::make_shared<sim::SimDevice>(sim::DemoDeviceSettings(m_clock));
      if (remote()) device->AttachModem(sim::ModemSettings{.connect_delay_ms = 3000});
      m_demo_port = std::make_unique<sim::SimPort>(std::move(device));
    }
    port = m_demo_port.get();
  } else {
    terminal = link::NewSystemSerialPort();
    port = terminal.get();
  }
  std::optional<CountingPort> counting;
  if (std::getenv("TAMLO_WIRE_STATS") != nullptr) port = &counting.emplace(*port, m_clock);
  ConsolePump pump(*this);
  link::ExchangeDispatcher dispatcher(*port, m_clock, pump);
  m_recorder.Begin();
  // Data chunks count from 0 in every exchange.
  m_recorder.ClearReceiveBuffer();
  m_running = &dispatcher;
  int result = 0;
  {
    const InterruptAsCancel ctrl_c;
    if (remote()) {
      // Dial, run the action over the call, hang up whatever its outcome.
      const std::string name = m_options.modem.empty() ? std::string("DEMO") : m_options.modem;
      // Dialled as the phone book dials: "+" and the digits only.
      const std::string number = link::UsableNumber(m_options.dial);
      link::ActionInput dial;
      dial.text = number.c_str();
      dial.fast_connect = !m_options.v32;
      result = dispatcher.serial_process(name, link::MODEM_DIAL, dial, m_recorder);
      if (result == 0) {
        result = dispatcher.serial_process(std::nullopt, action, input, m_recorder);
        dispatcher.serial_process(std::nullopt, link::MODEM_HANGUP, {}, m_recorder);
      }
    } else {
      const std::string name = m_options.demo ? std::string("DEMO") : m_options.port;
      result = dispatcher.serial_process(name, action, input, m_recorder);
    }
  }
  // The hang-up of a modem call leaves both as the action set them.
  m_found_no_configuration = dispatcher.found_no_configuration();
  m_image_stored = dispatcher.image_stored();
  m_running = nullptr;
  m_progress.Finish();
  return result == 0 ? kExitOk : kExitFailed;
}

std::optional<device::DeviceImage> DeviceSession::ReadConfiguration() {
  if (Run(link::CONFIG_READ) != kExitOk) return std::nullopt;
  device::DeviceImage image = device::AcceptDeviceImage(received(), *this);
  if (image.accepted()) return image;
  LogInfo(image.refusal);
  return std::nullopt;
}

void DeviceSession::RequestCancel() {
  if (m_running != nullptr) m_running->RequestCancel();
}

void DeviceSession::LogInfo(std::string_view text) {
  m_progress.Clear();
  std::fprintf(stderr, "%s\n", device::ServiceLogLine(LogTimeStamp(), text).c_str());
  std::fflush(stderr);
  m_progress.Redraw();
}

void DeviceSession::GsmStatus(const uint8_t* reply, size_t length) {
  if (on_gsm_status) on_gsm_status(reply, length);
}

void DeviceSession::KeyStatus(unsigned count, unsigned mask) {
  if (on_key_status) on_key_status(static_cast<uint8_t>(count), static_cast<uint8_t>(mask));
}

std::optional<std::string> DeviceSession::Ask(const device::EntryRequest&) {
  if (m_options.password) return std::nullopt;
  m_progress.Clear();
  std::optional<std::string> typed = ReadPasswordFromTerminal("Пароль доступа к устройству: ");
  if (!typed) {
    m_progress.Clear();
    std::fprintf(stderr, "tamlocfg-cli: no terminal to ask for the device password on\n");
  }
  return typed;
}

}  // namespace tamlo::cli
