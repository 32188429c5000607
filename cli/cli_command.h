#pragma once
// The console tool's commands. Each command lives in its own cmd_*.cpp and
// registers itself with TAMLO_CLI_COMMAND; main.cpp parses the global options
// and dispatches.
#include <optional>
#include <string>
#include <vector>

namespace tamlo::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
// A configuration file that loading would warn about (data it does not
// know) or refuse (a malformed encoding or an unknown coding).
inline constexpr int kExitUnrecognisedData = 2;
inline constexpr int kExitMalformedData = 3;
// config-write: the device holds the new configuration, but a step after the
// write (setting its clock, clearing its notification queue) failed or was
// cancelled.
inline constexpr int kExitWrittenIncomplete = 4;

// Options that may stand anywhere before the command name.
struct GlobalOptions {
  std::string port;                     // --port PATH
  bool demo = false;                    // --demo: the in-process simulated device
  std::optional<std::string> password;  // --password TEXT
  std::string codes;                    // --codes FILE: event code list
  std::string modem;                    // --modem PORT
  std::string dial;                     // --dial NUMBER
  bool dial_given = false;              // --dial was there (an empty NUMBER is refused)
  bool v32 = false;                     // --v32: no fast V.110 connect
};

struct Command {
  const char* name;
  const char* usage;  // arguments after the name, e.g. "FILE [--json]"
  const char* help;   // one line
  int (*run)(const GlobalOptions& options, const std::vector<std::string>& args);
};

bool RegisterCommand(const Command& command);
const std::vector<Command>& Commands();

// Prints "usage: ..." for one command to standard error; returns kExitUsage.
int UsageError(const Command& command, const std::string& why);

}  // namespace tamlo::cli

#define TAMLO_CLI_CONCAT_(a, b) a##b
#define TAMLO_CLI_CONCAT(a, b) TAMLO_CLI_CONCAT_(a, b)
#define TAMLO_CLI_COMMAND(...) \
  static const bool TAMLO_CLI_CONCAT(tamlo_cli_registered_, __LINE__) = ::tamlo::cli::RegisterCommand(__VA_ARGS__)
