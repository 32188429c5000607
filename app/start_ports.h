#pragma once
// What the command line adds to the device window's ports:
// - StartPortList puts the --port paths and, with --demo, the demo entry
//   after the ports the system enumerates (the window sorts the list);
// - StartPortSettings makes the window start in local mode on the port the
//   command line selects; with --demo the demo entry is also the modem port
//   at start, so a first call in remote mode reaches the demo device's modem
//   rather than whatever port the system lists first. It keeps the demo
//   entry out of the remembered ports, so the next run without --demo still
//   finds the user's real ports.
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "device/device_seams.h"

namespace tamlo {

class StartPortList final : public device::PortEnumerator {
 public:
  StartPortList(device::PortEnumerator& system, const CommandLine& line);
  std::vector<std::string> EnumerateComPorts() override;

 private:
  device::PortEnumerator& m_system;
  std::vector<std::string> m_extra;
};

class StartPortSettings final : public device::SettingsStore {
 public:
  StartPortSettings(device::SettingsStore& stored, const CommandLine& line);
  std::optional<std::string> ReadText(std::string_view name) override;
  std::optional<uint32_t> ReadNumber(std::string_view name) override;
  void WriteText(std::string_view name, const std::string& value) override;
  void WriteNumber(std::string_view name, uint32_t value) override { m_stored.WriteNumber(name, value); }

 private:
  device::SettingsStore& m_stored;
  std::optional<std::string> m_start_port;  // until the window has read it once
  std::optional<std::string> m_start_modem_port;  // likewise
  bool m_start_local = false;
};

}  // namespace tamlo
