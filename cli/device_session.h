#pragma once
// One device exchange from the console: the port (the POSIX terminal port or
// the in-process simulated device), the link, and the exchange recorder the
// device window uses too. The console supplies only what differs: its
// reports become service log lines on standard error and a progress bar,
// and a password is --password or, without it, the terminal prompt.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_command.h"
#include "cli/terminal.h"
#include "config/user_interface.h"
#include "device/session/device_image.h"
#include "device/session/exchange_recorder.h"
#include "link/clock.h"
#include "link/exchange_dispatcher.h"
#include "sim/sim_port.h"

namespace tamlo::cli {

// False, with the reason on standard error, when `path` cannot be written:
// commands that save what a device sends ask first, so a wrong name fails
// at once instead of after the exchange.
bool CheckOutputBeforeExchange(const std::string& path);

class DeviceSession final : public ServiceLog,
                            private device::ExchangeReports,
                            private device::ProgressView,
                            private device::EntryPrompt {
 public:
  explicit DeviceSession(const GlobalOptions& options);
  ~DeviceSession() override;

  // Checks the options that choose the device; kExitOk or kExitUsage (with
  // the message printed).
  int CheckOptions() const;
  // True with --dial: every action runs over a modem call (dial, action,
  // hang-up), with the raw modem traffic in the log as "=> ..." / "<= ...".
  bool remote() const;
  // Runs one action through serial_process: kExitOk or kExitFailed.
  int Run(unsigned action, const link::ActionInput& input = {});

  // CONFIG_READ, its image checked as every use of one is
  // (AcceptDeviceImage); none when the read failed or the image was refused
  // (the refusal in the service log).
  std::optional<device::DeviceImage> ReadConfiguration();

  // A service log line: "date time: text" on standard error (also where the
  // recorder's log lines go).
  void LogInfo(std::string_view text) override;
  // Asks the running exchange to stop at its next wait.
  void RequestCancel();

  // What the last exchange delivered, as the recorder keeps it.
  const std::string& version() const { return m_recorder.firmware_version(); }
  uint32_t firmware_version_number() const { return m_recorder.firmware_version_number(); }
  // The serial number, empty when the device has none or its firmware knows
  // no serial number (serial_supported() false).
  const std::optional<std::string>& serial() const { return m_recorder.reported_serial_number(); }
  bool serial_supported() const { return m_recorder.serial_number_supported(); }
  bool bootloader_entered() const { return m_recorder.bootloader_entered(); }
  const std::vector<uint8_t>& received() const { return m_recorder.receive_buffer(); }
  // Of the last exchange, as the link's dispatcher has them: a CONFIG_READ
  // with no_configuration_ok found no configuration; a CONFIG_WRITE got its
  // whole image into the device (a later step may have failed).
  bool found_no_configuration() const { return m_found_no_configuration; }
  bool image_stored() const { return m_image_stored; }
  std::function<void(const uint8_t* data, size_t length)> on_gsm_status;
  std::function<void(uint8_t count, uint8_t mask)> on_key_status;

 private:
  // ExchangeReports: the error was logged already; the version is printed
  // by the command that needs it.
  void ShowExchangeError(const std::string&) override {}
  void ShowFirmwareVersion(const std::string&) override {}
  void GsmStatus(const uint8_t* reply, size_t length) override;
  void KeyStatus(unsigned count, unsigned mask) override;
  // ProgressView: the bar on standard error.
  void Begin(std::function<void()>) override {}
  void SetStep(const std::string& text, uint32_t maximum) override { m_progress.Stage(text, maximum); }
  void SetPosition(uint32_t position) override { m_progress.Position(position); }
  void SetWaitText(const std::string&) override {}
  void Hide() override {}
  void End() override {}
  // EntryPrompt: --password is the only password (the recorder sends it
  // first; refused, nothing else is tried); else the terminal without echo.
  std::optional<std::string> Ask(const device::EntryRequest& request) override;

  const GlobalOptions& m_options;
  // The console's one clock: the link's waits, the demo device's start time
  // and the wire statistics all read it.
  link::SystemClock m_clock;
  ProgressBar m_progress;
  device::ExchangeRecorder m_recorder{*this, *this, *this};
  bool m_found_no_configuration = false;
  bool m_image_stored = false;
  // --demo: the line to the simulated device, made at the first exchange and
  // kept for the next ones.
  std::unique_ptr<sim::SimPort> m_demo_port;
  link::ExchangeDispatcher* m_running = nullptr;
};

}  // namespace tamlo::cli
