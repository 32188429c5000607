#pragma once
// ExchangeRecorder: the one LinkCallback of the device window and the console
// tool, handed to serial_process for every exchange. It keeps what outlives a
// single report: the password the user gave (for the whole run, never
// stored), the firmware version and serial number the current exchange
// reported, whether it reached the bootloader, and the bytes of a
// configuration or journal read.
//
// What differs between the two front ends comes in through its three seams:
// where reports go (ExchangeReports: the window's log and boxes, or the
// terminal's log lines), the progress display (the progress window or a bar
// on standard error) and where a password comes from (the entry dialog, or
// --password and the terminal prompt).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/device_seams.h"
#include "link/link_callback.h"

namespace tamlo::device {

// What an exchange shows to the user who started it.
class ExchangeReports {
 public:
  virtual ~ExchangeReports() = default;
  // One service log line.
  virtual void LogInfo(std::string_view text) = 0;
  // The error box "Ошибка обмена с устройством" (after the log line).
  virtual void ShowExchangeError(const std::string& text) = 0;
  // The device's firmware version text (never empty).
  virtual void ShowFirmwareVersion(const std::string& text) = 0;
  virtual void GsmStatus(const uint8_t* reply, size_t length) = 0;
  // After the log line "Всего ключей: ..., маска заданных: ...".
  virtual void KeyStatus(unsigned count, unsigned mask) = 0;
};

// The caption of the error box of a failed exchange.
inline constexpr const char* kExchangeErrorCaption = "Ошибка обмена с устройством";

class ExchangeRecorder final : public link::LinkCallback {
 public:
  ExchangeRecorder(ExchangeReports& reports, ProgressView& progress, EntryPrompt& prompt);

  // Before every exchange: nothing reported yet.
  void Begin();

  // The version text after "Tamlo " the current exchange reported; empty
  // until one was.
  const std::string& firmware_version() const { return m_firmware_version; }
  // major * 100 + minor of that version ("3.11" gives 311), 0 when it
  // reported none or one not starting with "%u.%u".
  uint32_t firmware_version_number() const { return m_firmware_version_number; }

  // The bytes of data chunks (kind 4) since the last clear.
  const std::vector<uint8_t>& receive_buffer() const { return m_receive_buffer; }
  void ClearReceiveBuffer() { m_receive_buffer.clear(); }
  // Hands the bytes over and leaves the buffer empty, its memory released:
  // a journal of many megabytes is then held once, by its reader.
  std::vector<uint8_t> TakeReceiveBuffer() { return std::exchange(m_receive_buffer, {}); }

  // The serial number the current exchange's identification reported,
  // empty when the device has none or does not know the command; nothing
  // until one was reported.
  const std::optional<std::string>& reported_serial_number() const { return m_serial_number; }
  // False once the identification found firmware without serial numbers.
  bool serial_number_supported() const { return m_serial_supported; }
  // True once the current exchange has switched the device into its
  // bootloader (or found it there): a failure after that leaves it waiting
  // there.
  bool bootloader_entered() const { return m_bootloader_entered; }

  // The password given last; empty until the first one. Never persisted.
  const std::string& cached_password() const { return m_cached_password; }
  // A password given before the first exchange (the console's --password):
  // the first request sends it without asking.
  void CachePassword(std::string password) { m_cached_password = std::move(password); }

  // link::LinkCallback
  void OnLog(const std::string& text) override;
  void OnError(const std::string& text) override;
  void OnProgress(const char* stage, uint32_t value) override;
  void OnFirmwareVersion(const std::string& version) override;
  void OnDataChunk(const uint8_t* data, size_t length, size_t position) override;
  void OnGsmStatus(const uint8_t* data, size_t length) override;
  void OnKeyStatus(const uint8_t* data, size_t length) override;
  void OnPasswordRequest(char* buffer, size_t max_length, unsigned attempt) override;
  void OnSerialNumber(const std::string& number, bool supported) override;
  void OnBootloaderEntered() override { m_bootloader_entered = true; }

 private:
  ExchangeReports& m_reports;
  ProgressView& m_progress;
  EntryPrompt& m_prompt;
  std::string m_firmware_version;
  uint32_t m_firmware_version_number = 0;
  std::vector<uint8_t> m_receive_buffer;
  std::string m_cached_password;
  std::optional<std::string> m_serial_number;
  bool m_serial_supported = true;
  bool m_bootloader_entered = false;
};

// The log line of a data chunk that arrived at `passed` while `expected`
// bytes were held (the device's text, its unbalanced parenthesis included).
std::string ChunkPositionMessage(size_t expected, size_t passed);

// "%u.%u" at the start of a version text as major * 100 + minor; 0 otherwise.
uint32_t ParseFirmwareVersionNumber(const std::string& version);

}  // namespace tamlo::device
