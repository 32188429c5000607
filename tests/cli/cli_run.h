#pragma once
// tamlocfg-cli run as its own process from $TAMLO_BIN_DIR, the way a user or
// a script runs it, and configuration files to feed it.
#include <cstdint>
#include <string>
#include <vector>

#include "config/config_tree.h"
#include "support/temp_dir.h"

namespace tamlo::testing {

struct CliRun {
  int status = -1;  // the exit status; -1 when the tool did not exit normally
  std::string out;
  std::string err;
};

// Runs "tamlocfg-cli ARGS" through the shell (quote file names in `args`);
// standard error goes through a file in `dir`.
CliRun RunCli(const TempDir& dir, const std::string& args);

// A .tamlo image of `tree`, with `extra` bytes after its encoding inside the
// data length.
std::string ImageBytes(const ConfigTree& tree, const std::vector<uint8_t>& extra = {});

}  // namespace tamlo::testing
