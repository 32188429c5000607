#pragma once
// DeviceExchange: the device window's side of one exchange, the LinkCallback
// handed to serial_process. It keeps what outlives a single report: the
// password the user typed (for the whole run, never stored), the firmware
// version number of the current exchange and the bytes of a configuration or
// journal read.
//
// Reports go to the window through ExchangeReports (log lines, error boxes,
// the version caption, GSM and key status), to the progress window and to
// the password dialog.
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

// What an exchange shows in the window that started it.
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

class DeviceExchange final : public link::LinkCallback {
 public:
  DeviceExchange(ExchangeReports& reports, ProgressView& progress, EntryPrompt& prompt);

  // Before every exchange: no version reported yet.
  void Begin() {
    m_firmware_version_number = 0;
    m_serial_number.reset();
  }

  // major * 100 + minor of the version the current exchange reported ("3.11"
  // gives 311), 0 when it reported none or one not starting with "%u.%u".
  uint32_t firmware_version_number() const { return m_firmware_version_number; }

  // The bytes of data chunks (kind 4) since the last clear.
  const std::vector<uint8_t>& receive_buffer() const { return m_receive_buffer; }
  void ClearReceiveBuffer() { m_receive_buffer.clear(); }
  // Hands the bytes over and leaves the buffer empty, its memory released:
  // a journal of many megabytes is then held once, by its reader.
  std::vector<uint8_t> TakeReceiveBuffer() { return std::exchange(m_receive_buffer, {}); }

  // The serial number the last identification reported (SERIAL_READ logs
  // it), empty when the device has none or does not know the command;
  // nothing until one was reported. Begin() forgets it.
  const std::optional<std::string>& reported_serial_number() const { return m_serial_number; }

  // The password typed last; empty until the first one. Never persisted.
  const std::string& cached_password() const { return m_cached_password; }

  // link::LinkCallback
  void OnLog(const std::string& text) override;
  void OnError(const std::string& text) override;
  void OnProgress(const char* stage, uint32_t value) override;
  void OnFirmwareVersion(const std::string& version) override;
  void OnDataChunk(const uint8_t* data, size_t length, size_t position) override;
  void OnGsmStatus(const uint8_t* data, size_t length) override;
  void OnKeyStatus(const uint8_t* data, size_t length) override;
  void OnPasswordRequest(char* buffer, size_t max_length, unsigned attempt) override;

 private:
  ExchangeReports& m_reports;
  ProgressView& m_progress;
  EntryPrompt& m_prompt;
  uint32_t m_firmware_version_number = 0;
  std::vector<uint8_t> m_receive_buffer;
  std::string m_cached_password;
  std::optional<std::string> m_serial_number;
};

// The serial number in a log line of SERIAL_READ ("Серийный номер: 1234"):
// the number, empty for "НЕ ЗАДАН" and "не поддерживается", nothing for any
// other line.
std::optional<std::string> SerialNumberInLog(const std::string& line);
// The text after "Серийный номер: " as a serial number: empty for the two
// texts that mean the device has none.
std::string UsableSerialNumber(const std::string& reported);

// The log line of a data chunk that arrived at `passed` while `expected`
// bytes were held (the device's text, its unbalanced parenthesis included).
std::string ChunkPositionMessage(size_t expected, size_t passed);

// "%u.%u" at the start of a version text as major * 100 + minor; 0 otherwise.
uint32_t ParseFirmwareVersionNumber(const std::string& version);

}  // namespace tamlo::device
