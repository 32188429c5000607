// tamlo-sim as its own process on a pseudo-terminal, driven by the real link
// through the POSIX port: the program's first output line, its symbolic link,
// raw bytes both ways, its configuration file, and a clean stop on SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "link/clock.h"
#include "link/exchange_dispatcher.h"
#include "link/posix/posix_serial_port.h"
#include "link/recording_callback.h"
#include "sim_fixture.h"
#include "support/temp_dir.h"

extern char** environ;

namespace tamlo::sim::testing {
namespace {

using namespace tamlo::link;

class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    const char* dir = std::getenv("TAMLO_BIN_DIR");
    const std::string program = std::string(dir ? dir : ".") + "/tamlo-sim";
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    m_out = fdopen(out[0], "r");
    char line[256] = {};
    if (m_pid > 0 && std::fgets(line, sizeof line, m_out)) {
      m_path = line;
      if (!m_path.empty() && m_path.back() == '\n') m_path.pop_back();
    }
  }
  ~SimProcess() {
    if (m_pid > 0) Stop();
    if (m_out) std::fclose(m_out);
  }
  // SIGTERM, then the exit status (-1 when it did not exit normally, or
  // never started: kill(-1) would signal every process of the user).
  int Stop() {
    if (m_pid <= 0) return -1;
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  const std::string& path() const { return m_path; }

 private:
  pid_t m_pid = -1;
  FILE* m_out = nullptr;
  std::string m_path;
};

class PtyLink {
 public:
  int Run(const std::string& port_name, unsigned action, const ActionInput& input = {}) {
    cb = RecordingCallback{};
    return link.serial_process(port_name, action, input, cb);
  }
  SystemClock clock;
  SleepingPump pump;
  PosixSerialPort port;
  ExchangeDispatcher link{port, clock, pump};
  RecordingCallback cb;
};

TEST(TamloSimPty, ConfigWriteAndReadThroughTerminal_FileKept_SigtermStopsCleanly) {
  tamlo::testing::TempDir dir;
  const std::string link_path = (dir / "ttyTAMLO").string();
  const std::string config = (dir / "device.tamlo").string();
  SimProcess sim({"--pty", "--link", link_path, "--baud", "115200", "--config", config, "--serial", "12345",
                  "--id", "Tamlo 3.12"});
  ASSERT_FALSE(sim.path().empty());
  EXPECT_EQ(std::filesystem::read_symlink(link_path).string(), sim.path());

  PtyLink host;
  ASSERT_EQ(host.Run(link_path, SERIAL_READ), 0) << (host.cb.errors.empty() ? "" : host.cb.errors[0]);
  EXPECT_EQ(host.cb.versions, std::vector<std::string>{"3.12"});
  bool serial_logged = false;
  for (const std::string& l : host.cb.log) serial_logged |= l == "Серийный номер: 12345";
  EXPECT_TRUE(serial_logged);

  // Every byte value, flags and XON/XOFF included, must cross the terminal untouched.
  const std::vector<uint8_t> image = TestImage(3000, 42);
  ASSERT_EQ(host.Run(sim.path(), CONFIG_WRITE, ActionInput{image.data(), image.size(), nullptr}), 0)
      << (host.cb.errors.empty() ? "" : host.cb.errors[0]);
  ASSERT_EQ(host.Run(link_path, CONFIG_READ), 0) << (host.cb.errors.empty() ? "" : host.cb.errors[0]);
  EXPECT_EQ(WithoutDeviceFields(host.cb.data_bytes), image);
  EXPECT_EQ(tamlo::testing::ReadFileBytes(config),
            std::string(host.cb.data_bytes.begin(), host.cb.data_bytes.end()));

  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_FALSE(std::filesystem::is_symlink(link_path));

  // A new device process starts from the saved file.
  SimProcess again({"--pty", "--config", config});
  ASSERT_EQ(host.Run(again.path(), CONFIG_READ), 0);
  EXPECT_EQ(WithoutDeviceFields(host.cb.data_bytes), image);
}

// --link replaces only a link an earlier run left behind (one to a
// pseudo-terminal); a file, a folder or a link to anything else is the
// user's and stays.
TEST(TamloSimPty, LinkPath_ReplacesOnlyAStaleTerminalLink) {
  namespace fs = std::filesystem;
  tamlo::testing::TempDir dir;
  tamlo::testing::WriteFileBytes(dir / "file", "keep");
  fs::create_directory(dir / "folder");
  fs::create_symlink(dir / "file", dir / "to-file");
  for (const fs::path& path : {dir / "file", dir / "folder", dir / "to-file"}) {
    SCOPED_TRACE(path);
    SimProcess sim({"--pty", "--link", path.string()});
    EXPECT_TRUE(sim.path().empty());
    EXPECT_EQ(sim.Stop(), 1);
  }
  EXPECT_EQ(tamlo::testing::ReadFileBytes(dir / "file"), "keep");
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  EXPECT_EQ(fs::read_symlink(dir / "to-file"), dir / "file");

  fs::create_symlink("/dev/pts/999999", dir / "stale");  // the link of a run that was killed
  SimProcess sim({"--pty", "--link", (dir / "stale").string()});
  ASSERT_FALSE(sim.path().empty());
  EXPECT_EQ(fs::read_symlink(dir / "stale").string(), sim.path());
  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_FALSE(fs::is_symlink(dir / "stale"));
}

// The console tool's caps: an endless input is refused, not read for ever.
TEST(TamloSimPty, EndlessJournalOrConfigurationInput_RefusedAtTheLimit) {
  for (const char* option : {"--journal", "--config"}) {
    SCOPED_TRACE(option);
    SimProcess sim({"--pty", option, "/dev/zero"});
    EXPECT_TRUE(sim.path().empty());
    EXPECT_EQ(sim.Stop(), 1);
  }
}

TEST(TamloSimPty, FaultAndDeviceOptions_ReachTheDevice) {
  SimProcess sim({"--pty", "--refuse", "0B:85:1", "--retry-later", "1", "--password", "pw"});
  ASSERT_FALSE(sim.path().empty());
  PtyLink host;
  // The version is answered 0x87 once and repeated; the serial number read
  // meets the one-time refusal.
  EXPECT_EQ(host.Run(sim.path(), SERIAL_READ), -1);
  bool repeated = false;
  for (const std::string& l : host.cb.log) repeated |= l == "Повтор команды (попытка 1)";
  EXPECT_TRUE(repeated);
  ASSERT_EQ(host.cb.errors.size(), 1u);
  EXPECT_EQ(host.cb.errors[0], "Команда 0x0B отвергнута устройством.\n\nКод ответа 0x85: Неисправность аппаратуры");
  // Then the password guard, and the password opens it.
  EXPECT_EQ(host.Run(sim.path(), SERIAL_READ), -1);
  ASSERT_EQ(host.cb.errors.size(), 1u);
  EXPECT_NE(host.cb.errors[0].find("Код ответа 0x88"), std::string::npos) << host.cb.errors[0];
  host.cb = RecordingCallback{};
  host.cb.passwords = {"pw"};
  EXPECT_EQ(host.link.serial_process(sim.path(), SERIAL_READ, {}, host.cb), 0);
}

}  // namespace
}  // namespace tamlo::sim::testing
