// tamlocfg-cli's device commands as a user runs them: the tool as its own
// process, against tamlo-sim on a pseudo-terminal (through the POSIX
// terminal port) or the in-process demo device. Exit statuses, what goes to standard
// output, and the password handling without a terminal.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "config/config_image.h"
#include "config/config_tree.h"
#include "config/tagged_encoding.h"
#include "support/temp_dir.h"

extern char** environ;

namespace tamlo::link::testing {
namespace {

namespace fs = std::filesystem;
using tamlo::testing::ReadFileBytes;
using tamlo::testing::TempDir;
using tamlo::testing::WriteFileBytes;

std::string BinDir() {
  const char* dir = std::getenv("TAMLO_BIN_DIR");
  return dir ? dir : ".";
}

// tamlo-sim --pty with a symbolic link at a known place; stopped at the end.
class PtySim {
 public:
  PtySim(const fs::path& link, std::vector<std::string> options) : m_link(link) {
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
  ~PtySim() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
  }
  bool ready() const { return m_pid > 0 && fs::exists(m_link); }

 private:
  fs::path m_link;
  pid_t m_pid = -1;
};

struct CliRun {
  int status = -1;
  std::string out, err;
};

// Runs the tool in a new session: no controlling terminal to ask a password on.
CliRun RunCli(const TempDir& dir, const std::string& args) {
  const fs::path out = dir / "out.txt", err = dir / "err.txt";
  const std::string command = "setsid -w " + BinDir() + "/tamlocfg-cli " + args + " >" + out.string() + " 2>" +
                              err.string() + " </dev/null";
  const int raw = std::system(command.c_str());
  CliRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadFileBytes(out);
  r.err = ReadFileBytes(err);
  return r;
}

// A .tamlo image with the autotest on (a setting of firmware 3.03) and a
// device password (3.04).
std::string ImageWithNewerSettings() {
  ConfigTree tree;
  tree.PutInt(258, 1);
  tree.PutString(265, "1234");
  const std::vector<uint8_t> data = EncodeConfig(tree);
  const auto header = ConfigImageHeader::For(data.data(), data.size()).Serialize();
  std::string bytes(header.begin(), header.end());
  bytes.append(data.begin(), data.end());
  return bytes;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CliDevice, PtyDevice_ConfigWriteReportsOldFirmwareAndReadsBackSameBytes) {
  TempDir dir;
  PtySim sim(dir / "tty", {"--baud", "0", "--id", "Tamlo 3.02", "--password", "pw", "--config",
                           (dir / "device.tamlo").string()});
  ASSERT_TRUE(sim.ready());
  const std::string image = ImageWithNewerSettings();
  WriteFileBytes(dir / "in.tamlo", image);
  const std::string port = "--port " + (dir / "tty").string() + " --password pw ";

  CliRun w = RunCli(dir, port + "config-write " + (dir / "in.tamlo").string());
  EXPECT_EQ(w.status, 0) << w.err;
  EXPECT_TRUE(Contains(w.out, "Периодический автотест (3.03)")) << w.out;
  EXPECT_TRUE(Contains(w.out, "Пароль доступа к устройству (3.04)")) << w.out;
  EXPECT_TRUE(Contains(w.err, ": Подключено устройство: Tamlo 3.02")) << w.err;

  CliRun r = RunCli(dir, port + "config-read " + (dir / "back.tamlo").string());
  EXPECT_EQ(r.status, 0) << r.err;
  // The device stamps its configuration number and time into header bytes 24..31.
  std::string back = ReadFileBytes(dir / "back.tamlo");
  ASSERT_EQ(back.size(), image.size());
  EXPECT_EQ(back.substr(0, 24), image.substr(0, 24));
  EXPECT_EQ(back.substr(32), image.substr(32));
  EXPECT_TRUE(Contains(r.err, "Конфигурация была записана ")) << r.err;

  CliRun id = RunCli(dir, port + "identify");
  EXPECT_EQ(id.status, 0);
  EXPECT_TRUE(Contains(id.out, "firmware: 3.02\n")) << id.out;
}

TEST(CliDevice, PasswordWithoutTerminal_GivesUpAndFails) {
  TempDir dir;
  PtySim sim(dir / "tty", {"--baud", "0", "--password", "pw"});
  ASSERT_TRUE(sim.ready());
  for (const std::string& password : {std::string(), std::string("--password wrong ")}) {
    SCOPED_TRACE(password);
    CliRun r = RunCli(dir, "--port " + (dir / "tty").string() + " " + password + "reboot");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "no terminal to ask for the device password")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Неверный пароль доступа к устройству")) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(CliDevice, FailedReadLeavesExistingFileAlone) {
  TempDir dir;
  PtySim sim(dir / "tty", {"--baud", "0", "--refuse", "02:94"});
  ASSERT_TRUE(sim.ready());
  WriteFileBytes(dir / "keep.tamlo", "previous");
  CliRun r = RunCli(dir, "--port " + (dir / "tty").string() + " config-read " + (dir / "keep.tamlo").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "Код ответа 0x94: В устройстве нет конфигурации")) << r.err;
  EXPECT_EQ(ReadFileBytes(dir / "keep.tamlo"), "previous");
}

TEST(CliDevice, DemoDevice_GsmKeysAndSerial) {
  TempDir dir;
  CliRun gsm = RunCli(dir, "--demo gsm-status --count 2");
  EXPECT_EQ(gsm.status, 0) << gsm.err;
  size_t lines = 0;
  for (char c : gsm.out) lines += c == '\n';
  EXPECT_EQ(lines, 4u) << gsm.out;  // two replies of two SIM lines
  EXPECT_TRUE(Contains(gsm.out, "SIM 2")) << gsm.out;

  CliRun keys = RunCli(dir, "--demo key-write 00112233445566778899AABBCCDDEEFF");
  EXPECT_EQ(keys.status, 0) << keys.err;
  EXPECT_TRUE(Contains(keys.out, "Ключ №1: Установлен"));
  EXPECT_TRUE(Contains(keys.out, "Ключ записан в прибор"));
}

TEST(CliDevice, UsageErrorsAndMissingPort) {
  TempDir dir;
  EXPECT_EQ(RunCli(dir, "identify").status, 2);
  EXPECT_EQ(RunCli(dir, "--demo key-write 0011").status, 2);
  EXPECT_EQ(RunCli(dir, "--demo key-write 00112233445566778899AABBCCDDEEFG").status, 2);
  EXPECT_EQ(RunCli(dir, "--demo gsm-status --count 0").status, 2);
  EXPECT_EQ(RunCli(dir, "--demo config-read").status, 2);
  EXPECT_EQ(RunCli(dir, "--demo serial-write 123456789012345678901234567890123").status, 2);
  CliRun missing = RunCli(dir, "--port " + (dir / "no-such-tty").string() + " identify");
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(Contains(missing.err, "Невозможно открыть порт")) << missing.err;
}

}  // namespace
}  // namespace tamlo::link::testing
