#pragma once
// The program's per-user settings through QSettings: the registry key
// Software\Velmora\TamloCfg on Windows, ~/.config/Velmora/TamloCfg.conf
// elsewhere.
#include <QSettings>
#include <memory>

#include "device/device_seams.h"

namespace tamlo {

// QSettings("Velmora", "TamloCfg").
std::unique_ptr<QSettings> ProgramSettings();

// Read rules: a text only when stored as a non-empty string of at most 63
// bytes (the program's 64-byte buffer with its terminating zero); a number
// only when stored as a number (a registry DWORD), or, in an INI file, which
// keeps no types, as a text of decimal digits in range. Anything else (a
// list, bytes, an over-long or empty text, a negative or out-of-range
// number) reads as nothing.
class QtSettingsStore final : public device::SettingsStore {
 public:
  explicit QtSettingsStore(std::unique_ptr<QSettings> settings) : m_settings(std::move(settings)) {}

  std::optional<std::string> ReadText(std::string_view name) override;
  std::optional<uint32_t> ReadNumber(std::string_view name) override;
  // Written through at once; a store that cannot be written stays silent.
  void WriteText(std::string_view name, const std::string& value) override;
  void WriteNumber(std::string_view name, uint32_t value) override;

 private:
  std::unique_ptr<QSettings> m_settings;
};

}  // namespace tamlo
