#pragma once
// The simulated device behind the link's SerialPort interface, in-process.
//
// Two ways to run it:
// - On a ManualClock (tests): nothing ever sleeps. A read that finds nothing
//   waiting advances the shared clock to the next byte's arrival (or by the
//   100 ms read wait), so a 30 s time-out against a silent device costs
//   microseconds and every run is the same.
// - On the real clock (demo mode): a read blocks for real until the next
//   byte reaches the host or 100 ms pass, so progress and time-outs behave as
//   on a cable at the device's baud rate.
//
// The carrier (DCD) is on, as on a local cable, or the simulated modem's
// when one is attached; tests may drop it.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "link/clock.h"
#include "link/serial_port.h"
#include "sim/sim_device.h"

namespace tamlo::sim {

// Default settings with the device clock set to the local time of `clock`
// (the PC's, for the demo and tamlo-sim) and the sample site stored
// (demo_site.h).
DeviceSettings DemoDeviceSettings(const link::Clock& clock);

class SimPort final : public link::SerialPort {
 public:
  // Test mode: time is the manual clock the link runs on.
  SimPort(std::shared_ptr<SimDevice> device, link::ManualClock& clock);
  // Real-time mode: time is the steady clock.
  explicit SimPort(std::shared_ptr<SimDevice> device);

  bool Open(const std::string& name) override;
  void Close() override;
  bool IsOpen() const override { return m_open; }
  bool GetSettings(link::PortSettings& settings) override;
  bool SetSettings(const link::PortSettings& settings) override;
  bool Purge() override;
  bool SetTimeouts() override;
  std::optional<link::PortQueues> Queues() override;
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override;
  bool Write(const uint8_t* data, size_t size, size_t& written) override;
  bool CarrierDetected() override { return m_open && m_carrier && m_device->CarrierDetected(NowNs()); }
  uint32_t LastErrorCode() const override { return m_error; }
  std::string LastErrorText() const override { return m_error_text; }

  void SetCarrier(bool on) { m_carrier = on; }
  // The line settings the host applied last.
  const link::PortSettings& settings() const { return m_settings; }
  SimDevice& device() { return *m_device; }
  // The line's time: nanoseconds since the port was made.
  uint64_t NowNs();

 private:
  void WaitUntil(uint64_t at_ns);
  bool Fail(uint32_t code, const char* text);

  std::shared_ptr<SimDevice> m_device;
  link::ManualClock* m_manual = nullptr;
  uint32_t m_last_ms = 0;  // manual clock reading behind m_manual_ns
  uint64_t m_manual_ns = 0;
  std::chrono::steady_clock::time_point m_start;

  bool m_open = false;
  bool m_carrier = true;
  link::PortSettings m_settings;
  uint32_t m_error = 0;
  std::string m_error_text;
};

// For the console tool's --demo and the GUI's demo mode: a port to a
// simulated device on a real-time line. The defaults are an ordinary device
// (identification "Tamlo 3.11", no password, the demo journal) at 115200 Bd;
// DemoDeviceSettings() starts its clock at the PC's local time and stores the
// sample site. Open it with
// any name. The device lives as long as the port: keep one port for the whole
// session so that a configuration written in one exchange is read back in the
// next.
std::unique_ptr<link::SerialPort> MakeDemoPort(DeviceSettings settings, Faults faults = {},
                                               uint32_t baud = kDefaultBaud);

}  // namespace tamlo::sim
