// The configurator's command line: ports, demo mode, the file to open and the
// usage errors that stop the program before any window shows.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace tamlo {
namespace {

TEST(CommandLine, PortsDemoHelpAndFile_ParsedOrRefusedAsUsageError) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> ports;
    bool demo;
    bool help;
    std::optional<std::string> file;
    std::optional<std::string> start_port;
    bool error;
  } cases[] = {
      {{}, {}, false, false, std::nullopt, std::nullopt, false},
      {{"site.tamlo"}, {}, false, false, "site.tamlo", std::nullopt, false},
      {{"--port", "/dev/pts/4"}, {"/dev/pts/4"}, false, false, std::nullopt, "/dev/pts/4", false},
      // Repeated: every path is added, the last one selected.
      {{"--port", "/tmp/a", "--port=/tmp/b"}, {"/tmp/a", "/tmp/b"}, false, false, std::nullopt, "/tmp/b", false},
      // Relative paths are from the current folder, not names under /dev.
      {{"--port", "ttylink", "--port=links/tty0", "--port", "../tty1"}, {"./ttylink", "./links/tty0", "../tty1"},
       false, false, std::nullopt, "../tty1", false},
      {{"--demo"}, {}, true, false, std::nullopt, kDemoPortName, false},
      // A port given with --demo is selected over the demo entry.
      {{"--demo", "--port", "/tmp/a", "x.tamlo"}, {"/tmp/a"}, true, false, "x.tamlo", "/tmp/a", false},
      {{"--help"}, {}, false, true, std::nullopt, std::nullopt, false},
      {{"-h", "--demo"}, {}, true, true, std::nullopt, kDemoPortName, false},
      // A file whose name starts with a dash, after "--".
      {{"--", "--demo"}, {}, false, false, "--demo", std::nullopt, false},
      // Qt's own options and their values are passed over (QApplication
      // takes them), so the line can be read before it exists.
      {{"-platform", "offscreen", "--help"}, {}, false, true, std::nullopt, std::nullopt, false},
      {{"--style=fusion", "-reverse", "x.tamlo", "-qwindowtitle", "--demo"}, {}, false, false, "x.tamlo",
       std::nullopt, false},
      {{"--port"}, {}, false, false, std::nullopt, std::nullopt, true},
      {{"--port", ""}, {}, false, false, std::nullopt, std::nullopt, true},
      {{"--port="}, {}, false, false, std::nullopt, std::nullopt, true},
      {{"--demo-mode"}, {}, false, false, std::nullopt, std::nullopt, true},
      {{"a.tamlo", "b.tamlo"}, {}, false, false, "a.tamlo", std::nullopt, true},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    const CommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(!line.error.empty(), c.error) << line.error;
    if (c.error) continue;
    EXPECT_EQ(line.ports, c.ports);
    EXPECT_EQ(line.demo, c.demo);
    EXPECT_EQ(line.help, c.help);
    EXPECT_EQ(line.file, c.file);
    EXPECT_EQ(line.StartPort(), c.start_port);
  }
}

TEST(CommandLine, HelpNamesBothDeviceOptions) {
  const std::string help = CommandLineHelp();
  EXPECT_NE(help.find("--port"), std::string::npos);
  EXPECT_NE(help.find("--demo"), std::string::npos);
  EXPECT_NE(help.find(kDemoPortName), std::string::npos);
}

}  // namespace
}  // namespace tamlo
