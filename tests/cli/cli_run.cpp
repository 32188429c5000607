#include "tests/cli/cli_run.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "config/config_image.h"
#include "config/tagged_encoding.h"

namespace tamlo::testing {

CliRun RunCli(const TempDir& dir, const std::string& args) {
  CliRun r;
  const char* bin = std::getenv("TAMLO_BIN_DIR");
  if (!bin) {
    ADD_FAILURE() << "TAMLO_BIN_DIR not set";
    return r;
  }
  const std::string err = (dir / "stderr.txt").string();
  const std::string cmd = std::string(bin) + "/tamlocfg-cli " + args + " 2>'" + err + "'";
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  r.err = ReadFileBytes(err);
  return r;
}

std::string ImageBytes(const ConfigTree& tree, const std::vector<uint8_t>& extra) {
  std::vector<uint8_t> data = EncodeConfig(tree);
  data.insert(data.end(), extra.begin(), extra.end());
  const auto h = ConfigImageHeader::For(data.data(), data.size()).Serialize();
  return std::string(h.begin(), h.end()) + std::string(data.begin(), data.end());
}

}  // namespace tamlo::testing
