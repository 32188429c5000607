#pragma once
// Running tamlocfg-cli and tamlo-sim as their own processes, the way a user
// runs them, for the console tool's tests.
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/config_tree.h"
#include "support/temp_dir.h"

namespace tamlo::testing {

// The folder of the built programs (TAMLO_BIN_DIR, set by ctest).
std::string BinDir();

struct CliRun {
  int status = -1;  // the exit status; -1 when the shell did not exit normally
  std::string out, err;
};

// Runs "tamlocfg-cli ARGS" through the shell in a new session, so there is
// no controlling terminal to ask a password on: standard input from
// `input` (a shell redirection or pipe source, "</dev/null" by default),
// standard output and error into files in `dir` unless `output` names a
// redirection of its own (then `out` stays empty). The tool's user data
// folder (the backups of config-write) is `dir`/data.
// A run longer than `seconds` (healthy ones take a fraction) waits on a link
// that no longer answers: it ends with status 124, and so does every later
// run at once (until ForgetHungRun), so a broken link fails in seconds.
CliRun RunCli(const TempDir& dir, const std::string& args, const std::string& input = "</dev/null",
              const std::string& output = "", unsigned seconds = 20);
void ForgetHungRun();

bool Contains(const std::string& text, const std::string& part);

// A .tamlo image: the header for `data`, then the encoded bytes.
std::string ConfigImageOf(const std::string& data);
// The same for `tree` encoded, with `extra` bytes after its encoding inside
// the data length.
std::string ImageBytes(const ConfigTree& tree, const std::vector<uint8_t>& extra = {});

// tamlo-sim --pty with a symbolic link at a known place; stopped with
// SIGTERM at the end.
class PtySim {
 public:
  PtySim(const std::filesystem::path& link, std::vector<std::string> options);
  ~PtySim();
  PtySim(const PtySim&) = delete;
  PtySim& operator=(const PtySim&) = delete;
  bool ready() const;
  std::string port() const { return m_link.string(); }

 private:
  std::filesystem::path m_link;
  pid_t m_pid = -1;
};

}  // namespace tamlo::testing
