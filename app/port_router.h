#pragma once
// The one serial port of the device window: the demo device for the entry
// "Демо-прибор", the system's serial port for every other name. The device
// window opens it by the name the user selected, so the choice is made at
// each Open; every other call goes to the port opened last.
//
// The demo device lives as long as the router, so a configuration written in
// one exchange is read back in the next. In remote mode the host reaches it
// through its simulated GSM modem (dial, then the call); otherwise it is on
// the cable. A firmware update restarts it into its bootloader as a real
// device does.
#include <functional>
#include <memory>

#include "link/serial_port.h"
#include "sim/sim_port.h"

namespace tamlo {

class PortRouter final : public link::SerialPort {
 public:
  // `serial`: the system's port. `demo`: the demo device's port, null
  // without --demo (the demo name then opens nothing, like any missing
  // port).
  PortRouter(std::unique_ptr<link::SerialPort> serial, std::unique_ptr<sim::SimPort> demo);

  // Asked at each Open of the demo entry: true when the window works through
  // a modem (the demo device then sits behind its modem).
  void SetRemoteMode(std::function<bool()> remote) { m_remote = std::move(remote); }

  bool Open(const std::string& name) override;
  void Close() override { m_active->Close(); }
  bool IsOpen() const override { return m_active->IsOpen(); }
  bool GetSettings(link::PortSettings& settings) override { return m_active->GetSettings(settings); }
  bool SetSettings(const link::PortSettings& settings) override { return m_active->SetSettings(settings); }
  bool Purge() override { return m_active->Purge(); }
  bool SetTimeouts() override { return m_active->SetTimeouts(); }
  std::optional<link::PortQueues> Queues() override { return m_active->Queues(); }
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override { return m_active->Read(buffer, capacity, got); }
  bool Write(const uint8_t* data, size_t size, size_t& written) override {
    return m_active->Write(data, size, written);
  }
  bool CarrierDetected() override { return m_active->CarrierDetected(); }
  uint32_t LastErrorCode() const override;
  std::string LastErrorText() const override;

  // The demo device, or null without --demo.
  sim::SimPort* demo() { return m_demo.get(); }

 private:
  std::unique_ptr<link::SerialPort> m_serial;
  std::unique_ptr<sim::SimPort> m_demo;
  link::SerialPort* m_active;
  std::function<bool()> m_remote;
  bool m_no_demo_error = false;  // the demo name was opened without a demo device
};

// The demo device of --demo on a real-time line: the sample site, the demo
// journal and the device clock at the PC's local time.
std::unique_ptr<sim::SimPort> MakeDemoDevice(const link::Clock& clock);

}  // namespace tamlo
