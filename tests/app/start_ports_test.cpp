// The command line's ports in the device window's list, the start selection,
// and the remembered ports that the demo entry must not overwrite.
#include <gtest/gtest.h>

#include <map>

#include "app/start_ports.h"

namespace tamlo {
namespace {

class FixedPorts final : public device::PortEnumerator {
 public:
  std::vector<std::string> EnumerateComPorts() override { return ports; }
  std::vector<std::string> ports{"ttyUSB0", "ttyS0"};
};

class MemoryStore final : public device::SettingsStore {
 public:
  std::optional<std::string> ReadText(std::string_view name) override {
    auto it = texts.find(std::string(name));
    return it == texts.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  std::optional<uint32_t> ReadNumber(std::string_view name) override {
    auto it = numbers.find(std::string(name));
    return it == numbers.end() ? std::nullopt : std::optional<uint32_t>(it->second);
  }
  void WriteText(std::string_view name, const std::string& value) override { texts[std::string(name)] = value; }
  void WriteNumber(std::string_view name, uint32_t value) override { numbers[std::string(name)] = value; }
  std::map<std::string, std::string> texts{{"LastLocalPort", "ttyUSB0"}, {"LastModemPort", "ttyS0"}};
  std::map<std::string, uint32_t> numbers{{"ConnectType", 1}};
};

TEST(StartPorts, ListGainsThePortsAndTheDemoEntryOnce) {
  FixedPorts system;
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> list;
  } cases[] = {
      {{}, {"ttyUSB0", "ttyS0"}},
      // Each path once; a relative one is a file of the current folder, not the system's port.
      {{"--port", "/dev/pts/3", "--port", "ttyUSB0", "--port", "/dev/pts/3"},
       {"ttyUSB0", "ttyS0", "/dev/pts/3", "./ttyUSB0"}},
      {{"--demo"}, {"ttyUSB0", "ttyS0", kDemoPortName}},
  };
  for (const Case& c : cases) {
    StartPortList list(system, ParseCommandLine(c.args));
    EXPECT_EQ(list.EnumerateComPorts(), c.list);
  }
}

TEST(StartPorts, StartPortIsSelectedOnceInLocalMode_DemoEntryInBothModes_NeverRemembered) {
  MemoryStore stored;
  StartPortSettings settings(stored, ParseCommandLine({"--demo"}));
  EXPECT_EQ(settings.ReadNumber("ConnectType"), 0u);
  EXPECT_EQ(settings.ReadText("LastLocalPort"), kDemoPortName);
  EXPECT_EQ(settings.ReadText("LastModemPort"), kDemoPortName);
  // Read again later (a second window start): the stored values.
  EXPECT_EQ(settings.ReadNumber("ConnectType"), 1u);
  EXPECT_EQ(settings.ReadText("LastLocalPort"), "ttyUSB0");
  EXPECT_EQ(settings.ReadText("LastModemPort"), "ttyS0");
  // A --port is the local start port; the modem's is still the demo entry.
  StartPortSettings with_port(stored, ParseCommandLine({"--demo", "--port", "/dev/pts/3"}));
  EXPECT_EQ(with_port.ReadText("LastLocalPort"), "/dev/pts/3");
  EXPECT_EQ(with_port.ReadText("LastModemPort"), kDemoPortName);

  settings.WriteText("LastLocalPort", kDemoPortName);
  settings.WriteText("LastModemPort", kDemoPortName);
  settings.WriteNumber("ConnectType", 0);
  EXPECT_EQ(stored.texts["LastLocalPort"], "ttyUSB0");
  EXPECT_EQ(stored.texts["LastModemPort"], "ttyS0");
  EXPECT_EQ(stored.numbers["ConnectType"], 0u);
  settings.WriteText("LastLocalPort", "/dev/pts/3");
  EXPECT_EQ(stored.texts["LastLocalPort"], "/dev/pts/3");

  // Without a start port the stored values pass unchanged.
  MemoryStore plain;
  StartPortSettings untouched(plain, ParseCommandLine({}));
  EXPECT_EQ(untouched.ReadNumber("ConnectType"), 1u);
  EXPECT_EQ(untouched.ReadText("LastLocalPort"), "ttyUSB0");
}

}  // namespace
}  // namespace tamlo
