#pragma once
// One device exchange from the console: the port (the POSIX terminal port or
// the in-process simulated device), the link, and the callback that turns the
// link's reports into service log lines on standard error, a progress bar,
// and the data the command prints.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/terminal.h"
#include "link/clock.h"
#include "link/exchange_dispatcher.h"
#include "link/link_callback.h"
#include "sim/sim_port.h"

namespace tamlo::cli {

// False, with the reason on standard error, when `path` cannot be written:
// commands that save what a device sends ask first, so a wrong name fails
// at once instead of after the exchange.
bool CheckOutputBeforeExchange(const std::string& path);

class DeviceSession final : public link::LinkCallback {
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

  // A service log line: "date time: text" on standard error.
  void LogInfo(const std::string& text);
  // Asks the running exchange to stop at its next wait.
  void RequestCancel();

  // What the exchange delivered.
  const std::string& version() const { return m_version; }
  uint32_t firmware_version_number() const { return m_firmware_version_number; }
  // The serial number as the link logged it ("НЕ ЗАДАН" when the device has
  // none, "не поддерживается" for firmware without serial numbers).
  const std::optional<std::string>& serial() const { return m_serial; }
  // True once the exchange has switched the device into its bootloader (or
  // found it there): a failure after that leaves it waiting there.
  bool bootloader_entered() const { return m_bootloader_entered; }
  const std::vector<uint8_t>& received() const { return m_received; }
  // Of the last exchange, as the link's dispatcher has them: a CONFIG_READ
  // with no_configuration_ok found no configuration; a CONFIG_WRITE got its
  // whole image into the device (a later step may have failed).
  bool found_no_configuration() const { return m_found_no_configuration; }
  bool image_stored() const { return m_image_stored; }
  std::function<void(const uint8_t* data, size_t length)> on_gsm_status;
  std::function<void(uint8_t count, uint8_t mask)> on_key_status;

  // LinkCallback.
  void OnLog(const std::string& text) override;
  void OnError(const std::string& text) override;
  void OnProgress(const char* stage, uint32_t value) override;
  void OnFirmwareVersion(const std::string& version) override;
  void OnDataChunk(const uint8_t* data, size_t length, size_t position) override;
  void OnGsmStatus(const uint8_t* data, size_t length) override;
  void OnKeyStatus(const uint8_t* data, size_t length) override;
  void OnPasswordRequest(char* buffer, size_t max_length, unsigned attempt) override;

 private:
  const GlobalOptions& m_options;
  // The console's one clock: the link's waits, the demo device's start time
  // and the wire statistics all read it.
  link::SystemClock m_clock;
  std::string m_cached_password;
  std::string m_version;
  uint32_t m_firmware_version_number = 0;
  std::optional<std::string> m_serial;
  bool m_bootloader_entered = false;
  bool m_found_no_configuration = false;
  bool m_image_stored = false;
  std::vector<uint8_t> m_received;
  // --demo: the line to the simulated device, made at the first exchange and
  // kept for the next ones.
  std::unique_ptr<sim::SimPort> m_demo_port;
  ProgressBar m_progress;
  link::ExchangeDispatcher* m_running = nullptr;
};

}  // namespace tamlo::cli
