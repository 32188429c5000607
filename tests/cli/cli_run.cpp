#include "cli_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "config/config_image.h"
#include "config/tagged_encoding.h"

extern char** environ;

namespace tamlo::testing {

namespace fs = std::filesystem;

std::string BinDir() {
  const char* dir = std::getenv("TAMLO_BIN_DIR");
  return dir ? dir : ".";
}

static bool g_hung = false;
void ForgetHungRun() { g_hung = false; }

CliRun RunCli(const TempDir& dir, const std::string& args, const std::string& input, const std::string& output,
              unsigned seconds) {
  CliRun r;
  if (g_hung) return {124, "", "not run: an earlier run of this test program hung\n"};
  const fs::path out = dir / "out.txt", err = dir / "err.txt";
  // A pipe source comes before the program, a redirection after it.
  const bool piped = input.size() > 2 && input.compare(input.size() - 2, 2, " |") == 0;
  // The user data folder, where config-write keeps its backups, is `dir`/data.
  const std::string command = (piped ? input + " " : std::string()) + "XDG_DATA_HOME='" + (dir / "data").string() +
                              "' setsid -w timeout " + std::to_string(seconds) + " " + BinDir() +
                              "/tamlocfg-cli " + args + " " + (output.empty() ? ">" + out.string() : output) +
                              " 2>" + err.string() + (piped ? std::string() : " " + input);
  fs::remove(out);
  const int raw = std::system(command.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  g_hung = r.status == 124;  // timeout(1) ended it
  if (output.empty()) r.out = ReadFileBytes(out);
  r.err = ReadFileBytes(err);
  return r;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string ConfigImageOf(const std::string& data) {
  const auto header =
      ConfigImageHeader::For(reinterpret_cast<const uint8_t*>(data.data()), data.size()).Serialize();
  return std::string(header.begin(), header.end()) + data;
}

std::string ImageBytes(const ConfigTree& tree, const std::vector<uint8_t>& extra) {
  std::vector<uint8_t> data = EncodeConfig(tree);
  data.insert(data.end(), extra.begin(), extra.end());
  return ConfigImageOf(std::string(data.begin(), data.end()));
}

PtySim::PtySim(const fs::path& link, std::vector<std::string> options) : m_link(link) {
  std::vector<std::string> args = {BinDir() + "/tamlo-sim", "--pty", "--link", link.string()};
  args.insert(args.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  // Start-up, not a time-out under test: the program makes its link at once.
  for (int i = 0; i < 500 && m_pid > 0 && !fs::exists(m_link); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

PtySim::~PtySim() {
  if (m_pid <= 0) return;  // never kill(-1): that would signal every process of the user
  kill(m_pid, SIGTERM);
  int status = 0;
  waitpid(m_pid, &status, 0);
}

bool PtySim::ready() const { return m_pid > 0 && fs::exists(m_link); }

}  // namespace tamlo::testing
