#include "app/start_ports.h"

#include <algorithm>

namespace tamlo {
namespace {
// The value names of the device window's remembered ports and mode.
constexpr std::string_view kLastLocalPort = "LastLocalPort";
constexpr std::string_view kLastModemPort = "LastModemPort";
constexpr std::string_view kConnectType = "ConnectType";
constexpr uint32_t kConnectLocal = 0;
}  // namespace

StartPortList::StartPortList(device::PortEnumerator& system, const CommandLine& line)
    : m_system(system), m_extra(line.ports) {
  if (line.demo) m_extra.emplace_back(kDemoPortName);
}

std::vector<std::string> StartPortList::EnumerateComPorts() {
  std::vector<std::string> ports = m_system.EnumerateComPorts();
  for (const std::string& extra : m_extra)
    if (std::find(ports.begin(), ports.end(), extra) == ports.end()) ports.push_back(extra);
  return ports;
}

StartPortSettings::StartPortSettings(device::SettingsStore& stored, const CommandLine& line)
    : m_stored(stored), m_start_port(line.StartPort()), m_start_local(m_start_port.has_value()) {
  if (line.demo) m_start_modem_port = kDemoPortName;
}

std::optional<std::string> StartPortSettings::ReadText(std::string_view name) {
  std::optional<std::string>* start = name == kLastLocalPort   ? &m_start_port
                                      : name == kLastModemPort ? &m_start_modem_port
                                                               : nullptr;
  if (start && *start) {
    std::optional<std::string> port = std::move(*start);
    start->reset();
    return port;
  }
  return m_stored.ReadText(name);
}

std::optional<uint32_t> StartPortSettings::ReadNumber(std::string_view name) {
  if (name == kConnectType && m_start_local) {
    m_start_local = false;
    return kConnectLocal;
  }
  return m_stored.ReadNumber(name);
}

void StartPortSettings::WriteText(std::string_view name, const std::string& value) {
  if ((name == kLastLocalPort || name == kLastModemPort) && value == kDemoPortName) return;
  m_stored.WriteText(name, value);
}

}  // namespace tamlo
