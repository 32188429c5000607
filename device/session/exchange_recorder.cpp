#include "device/session/exchange_recorder.h"

#include <cstdio>
#include <optional>

#include "device/entry_rules.h"

namespace tamlo::device {

uint32_t ParseFirmwareVersionNumber(const std::string& version) {
  unsigned major = 0, minor = 0;
  if (std::sscanf(version.c_str(), "%u.%u", &major, &minor) != 2) return 0;
  return major * 100 + minor;
}

std::string ChunkPositionMessage(size_t expected, size_t passed) {
  char text[96];
  std::snprintf(text, sizeof text, "Error: Buffer position must be %u, passed %u)", static_cast<unsigned>(expected),
                static_cast<unsigned>(passed));
  return text;
}

ExchangeRecorder::ExchangeRecorder(ExchangeReports& reports, ProgressView& progress, EntryPrompt& prompt)
    : m_reports(reports), m_progress(progress), m_prompt(prompt) {}

void ExchangeRecorder::Begin() {
  m_firmware_version.clear();
  m_firmware_version_number = 0;
  m_serial_number.reset();
  m_serial_supported = true;
  m_bootloader_entered = false;
}

void ExchangeRecorder::OnLog(const std::string& text) { m_reports.LogInfo(text); }

void ExchangeRecorder::OnSerialNumber(const std::string& number, bool supported) {
  m_serial_number = number;
  m_serial_supported = supported;
}

void ExchangeRecorder::OnError(const std::string& text) {
  m_reports.LogInfo(text);
  m_reports.ShowExchangeError(text);
}

void ExchangeRecorder::OnProgress(const char* stage, uint32_t value) {
  if (stage == nullptr) {
    m_progress.SetPosition(value);
    return;
  }
  m_reports.LogInfo(std::string(stage) + "...");
  m_progress.SetStep(stage, value == 0 ? 100 : value);
}

void ExchangeRecorder::OnFirmwareVersion(const std::string& version) {
  if (version.empty()) return;
  m_firmware_version = version;
  m_reports.ShowFirmwareVersion(version);
  // A text that does not start with "major.minor" leaves the number as it was.
  if (const uint32_t number = ParseFirmwareVersionNumber(version); number != 0)
    m_firmware_version_number = number;
}

void ExchangeRecorder::OnDataChunk(const uint8_t* data, size_t length, size_t position) {
  if (position != m_receive_buffer.size()) m_reports.LogInfo(ChunkPositionMessage(m_receive_buffer.size(), position));
  m_receive_buffer.insert(m_receive_buffer.end(), data, data + length);
}

void ExchangeRecorder::OnGsmStatus(const uint8_t* data, size_t length) { m_reports.GsmStatus(data, length); }

void ExchangeRecorder::OnKeyStatus(const uint8_t* data, size_t length) {
  if (length < 2) return;
  char text[96];
  std::snprintf(text, sizeof text, "Всего ключей: %u, маска заданных: %02X", data[0], data[1]);
  m_reports.LogInfo(text);
  m_reports.KeyStatus(data[0], data[1]);
}

void ExchangeRecorder::OnPasswordRequest(char* buffer, size_t max_length, unsigned attempt) {
  std::optional<std::string> password;
  if (attempt == 0 && !m_cached_password.empty()) {
    password = m_cached_password;
  } else {
    // The first request of a run, or the device refused what was sent: ask,
    // starting from the remembered password so a typo is quick to mend.
    std::optional<std::string> typed = m_prompt.Ask(PasswordRequest(max_length, m_cached_password));
    if (typed && !typed->empty()) {
      m_cached_password = *typed;
      password = std::move(typed);
    }
  }
  if (!password) return;  // the buffer stays empty: the exchange gives up
  const size_t n = password->copy(buffer, max_length);
  buffer[n] = '\0';
  buffer[max_length] = '\0';
}

}  // namespace tamlo::device
