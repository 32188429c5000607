#pragma once
// A modem played by a script on the FakePort: each command line the link
// writes (up to its CR, or "+++" alone) is recorded and answered with the
// reply text the script gives for it, arriving a little later.
#include <functional>
#include <string>
#include <vector>

#include "fake_port.h"

namespace tamlo::link::testing {

class ScriptedModem {
 public:
  explicit ScriptedModem(FakePort& port) : m_port(port) {
    port.on_bytes = [this](const uint8_t* data, size_t size) { OnBytes(data, size); };
  }
  // The reply to a command; the default answers a healthy modem's way.
  std::function<std::string(const std::string& command)> reply = [](const std::string& command) {
    return Default(command);
  };
  static std::string Default(const std::string& command) {
    if (command == "AT+IFC?") return "\r\n+IFC: 2,2\r\n\r\nOK\r\n";
    if (command == "AT+CBST?") return "\r\n+CBST: 71,0,1\r\n\r\nOK\r\n";
    if (command.rfind("ATD", 0) == 0) return "\r\nCONNECT 9600\r\n";
    return "\r\nOK\r\n";
  }
  uint32_t delay_ms = 30;
  std::vector<std::string> commands;

 private:
  void OnBytes(const uint8_t* data, size_t size) {
    m_line.append(reinterpret_cast<const char*>(data), size);
    if (m_line == "+++") return Take(m_line);
    size_t cr;
    while ((cr = m_line.find('\r')) != std::string::npos) {
      const std::string command = m_line.substr(0, cr);
      m_line.erase(0, cr + 1);
      Take(command);
    }
  }
  void Take(std::string command) {
    m_line.clear();
    commands.push_back(command);
    const std::string text = reply(command);
    if (!text.empty()) m_port.Feed(Bytes(text.begin(), text.end()), delay_ms);
  }
  FakePort& m_port;
  std::string m_line;
};

}  // namespace tamlo::link::testing
