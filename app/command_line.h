#pragma once
// The configurator's command line:
//   tamlocfg [--port PATH]... [--demo] [FILE]
// --port adds a port that enumeration cannot see (a pseudo-terminal, a socat
// or ser2net link) to the device window's port list and selects it at start;
// given more than once, every path is added and the last one is selected.
// A relative path is taken from the current folder, as the console tool
// takes it (link::CommandLinePortPath), and listed so ("./ttylink").
// --demo adds the entry "Демо-прибор", the in-process simulated device, and
// selects it at start unless a --port is given; it is also the modem port a
// remote connection starts with. FILE is a configuration
// opened at start. Qt's own options (-platform, -style, ...) are passed over
// with their values: QApplication takes them, and the line is read before
// the application exists so that --help and usage errors need no display.
#include <optional>
#include <string>
#include <vector>

#include "device/session/session_texts.h"

namespace tamlo {

// The port list entry of the simulated device; it exists only with --demo.
using device::kDemoPortName;
// What the main window's title gains in demo mode, so that nobody takes a
// demo write for a real one.
inline constexpr const char* kDemoTitleSuffix = " (демо)";

struct CommandLine {
  std::vector<std::string> ports;   // --port paths in the order given
  bool demo = false;
  bool help = false;                // --help or -h: print CommandLineHelp() and stop
  std::optional<std::string> file;  // the configuration to open at start
  std::string error;                // not empty: a usage error, in the user's language

  // The port selected at start: the last --port, else the demo entry with
  // --demo, else nothing (the remembered port applies).
  std::optional<std::string> StartPort() const;
};

// `args` without the program name, as the program was started (Qt's options
// still in).
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text --help prints.
std::string CommandLineHelp();

}  // namespace tamlo
