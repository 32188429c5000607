// tamlocfg-cli: the configurator's functions from a terminal, for scripts,
// service work without the GUI and tests.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/terminal.h"
#include "config/program_arguments.h"
#include "config/system_file_system.h"

namespace tamlo::cli {
namespace {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

void PrintUsage(FILE* out) {
  std::fprintf(out,
               "usage: tamlocfg-cli [--port PATH | --demo] [--password TEXT] [--codes FILE]\n"
               "                    [--modem PORT --dial NUMBER [--v32]] COMMAND [ARGS]\n\ncommands:\n");
  std::vector<Command> sorted = Registry();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
  for (const Command& c : sorted) std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.help);
  std::fprintf(out,
               "\nfiles:\n"
               "  An output FILE that is a regular file (or a link to one) is replaced only once\n"
               "  complete: the old file stays on any failure. A device, a FIFO or a link to one\n"
               "  (/dev/stdout, /dev/null, a named pipe) is written directly instead. Inputs may be\n"
               "  pipes (/dev/stdin, <(cat f)); they are read to their end. Limits: 1 MiB of\n"
               "  configuration data, 64 MiB of journal.\n"
               "  A relative --port or --modem path is taken from the current folder.\n");
}

// Every command's output goes to standard output through stdio; a write that
// failed (a full disk, /dev/full, a closed pipe) is only seen at the flush.
int CheckStandardOutput(int status) {
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  if (flushed && !std::ferror(stdout)) return status;
  std::fprintf(stderr, "tamlocfg-cli: cannot write to standard output%s%s\n", errno != 0 ? ": " : "",
               errno != 0 ? std::strerror(errno) : "");
  return kExitFailed;
}

// Takes the value of an option that needs one; false when it is missing.
bool TakeValue(int argc, char** argv, int& i, std::string& out) {
  if (i + 1 >= argc) {
    std::fprintf(stderr, "tamlocfg-cli: option %s needs a value\n", argv[i]);
    return false;
  }
  out = argv[++i];
  return true;
}

}  // namespace

bool RegisterCommand(const Command& command) {
  Registry().push_back(command);
  return true;
}

const std::vector<Command>& Commands() { return Registry(); }

int UsageError(const Command& command, const std::string& why) {
  if (!why.empty()) std::fprintf(stderr, "tamlocfg-cli %s: %s\n", command.name, why.c_str());
  std::fprintf(stderr, "usage: tamlocfg-cli [OPTIONS] %s %s\n", command.name, command.usage);
  return kExitUsage;
}

int Main(int argc, char** argv) {
  GlobalOptions options;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    bool ok = true;
    if (arg == "--port") ok = TakeValue(argc, argv, i, options.port);
    else if (arg == "--demo") options.demo = true;
    else if (arg == "--password") {
      std::string value;
      ok = TakeValue(argc, argv, i, value);
      options.password = value;
    } else if (arg == "--codes") ok = TakeValue(argc, argv, i, options.codes);
    else if (arg == "--modem") ok = TakeValue(argc, argv, i, options.modem);
    else if (arg == "--dial") ok = options.dial_given = TakeValue(argc, argv, i, options.dial);
    else if (arg == "--v32") options.v32 = true;
    else if (arg == "-h" || arg == "--help") {
      PrintUsage(stdout);
      return CheckStandardOutput(kExitOk);
    } else if (arg.rfind("--", 0) == 0) {
      std::fprintf(stderr, "tamlocfg-cli: unknown option %s\n", arg.c_str());
      ok = false;
    } else break;
    if (!ok) return kExitUsage;
  }
  if (i >= argc) {
    PrintUsage(stderr);
    return kExitUsage;
  }
  if (!options.port.empty() && options.demo) {
    std::fprintf(stderr, "tamlocfg-cli: --port and --demo exclude each other\n");
    return kExitUsage;
  }
  options.port = CommandLinePort(options.port);
  options.modem = CommandLinePort(options.modem);
  // From here on a save in progress is cleaned up when the tool is stopped.
  InstallTemporaryFileCleanup();
  const std::string name = argv[i];
  for (const Command& c : Registry()) {
    if (name == c.name) return CheckStandardOutput(c.run(options, std::vector<std::string>(argv + i + 1, argv + argc)));
  }
  std::fprintf(stderr, "tamlocfg-cli: unknown command %s\n", name.c_str());
  PrintUsage(stderr);
  return kExitUsage;
}

}  // namespace tamlo::cli

int main(int argc, char** argv) {
  tamlo::cli::PrepareConsole();
  std::vector<std::string> arguments = tamlo::ProgramArguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  return tamlo::cli::Main(static_cast<int>(arguments.size()), pointers.data());
}
