// The password prompt as a user at a terminal meets it: the tool runs with a
// pseudo-terminal as its controlling terminal, the test types into it and
// signals it. Every wait is on what the tool writes, never on the clock.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "cli_run.h"

namespace tamlo::testing {
namespace {

constexpr const char* kPrompt = "Пароль доступа к устройству: ";

class TerminalRun {
 public:
  explicit TerminalRun(std::vector<std::string> args) {
    args.insert(args.begin(), BinDir() + "/tamlocfg-cli");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    m_pid = forkpty(&m_master, nullptr, nullptr, nullptr);
    if (m_pid == 0) {
      execv(argv[0], argv.data());
      _exit(127);
    }
  }
  ~TerminalRun() {
    if (m_pid > 0 && !m_reaped) {  // never kill(-1)
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    if (m_master >= 0) close(m_master);
  }
  bool started() const { return m_pid > 0 && m_master >= 0; }

  // Reads what the tool writes until `marker` has come or the terminal
  // closes; the minute is only there to end a failed run.
  bool ReadUntil(const std::string& marker) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (m_seen.find(marker) == std::string::npos) {
      if (std::chrono::steady_clock::now() > give_up) return false;
      pollfd p{m_master, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char buffer[512];
      const ssize_t n = read(m_master, buffer, sizeof buffer);
      if (n <= 0) return false;  // the tool has gone and the terminal closed
      m_seen.append(buffer, static_cast<size_t>(n));
    }
    return true;
  }
  bool EchoOn() const {
    termios t{};
    return tcgetattr(m_master, &t) == 0 && (t.c_lflag & ECHO) != 0;
  }
  void Type(const std::string& text) { EXPECT_EQ(write(m_master, text.data(), text.size()), ssize_t(text.size())); }
  void Signal(int signal_number) { kill(m_pid, signal_number); }
  // The exit status; a tool still running after a minute (a prompt that
  // ignored its signal) is killed and reported as -1.
  int Wait() {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    int status = 0;
    while (waitpid(m_pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > give_up) return -1;  // the destructor kills it
      pollfd none{-1, 0, 0};
      poll(&none, 0, 20);
    }
    m_reaped = true;
    return status;
  }
  const std::string& seen() const { return m_seen; }

 private:
  int m_master = -1;
  pid_t m_pid = -1;
  bool m_reaped = false;
  std::string m_seen;
};

TEST(CliTerminal, PasswordPrompt_CtrlCAndSigtermEndItAtOnceWithTheEchoBack) {
  TempDir dir;
  PtySim sim(dir / "tty", {"--baud", "0", "--password", "pw"});
  ASSERT_TRUE(sim.ready());
  const struct {
    const char* name;
    int signal_number;  // 0: the password is typed
  } cases[] = {{"typed", 0}, {"Ctrl+C", SIGINT}, {"SIGTERM", SIGTERM}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TerminalRun run({"--port", sim.port(), "reboot"});
    ASSERT_TRUE(run.started());
    ASSERT_TRUE(run.ReadUntil(kPrompt)) << run.seen();
    EXPECT_FALSE(run.EchoOn());
    if (c.signal_number == SIGINT) run.Type("\x03");  // the terminal turns it into SIGINT
    else if (c.signal_number == SIGTERM) run.Signal(SIGTERM);
    else run.Type("pw\r");
    const int status = run.Wait();
    switch (c.signal_number) {
      case 0: EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << run.seen(); break;
      case SIGINT: EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status; break;
      default: EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status; break;
    }
    EXPECT_TRUE(run.EchoOn());
  }
}

// --password is the only password: refused, the tool fails without asking.
TEST(CliTerminal, PasswordOption_NeverPrompts) {
  TempDir dir;
  PtySim sim(dir / "tty", {"--baud", "0", "--password", "pw"});
  ASSERT_TRUE(sim.ready());
  TerminalRun run({"--port", sim.port(), "--password", "wrong", "reboot"});
  ASSERT_TRUE(run.started());
  run.ReadUntil("\x04 never written");  // reads until the tool has gone
  const int status = run.Wait();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_FALSE(Contains(run.seen(), kPrompt)) << run.seen();
  EXPECT_TRUE(Contains(run.seen(), "Неверный пароль доступа к устройству")) << run.seen();
}

}  // namespace
}  // namespace tamlo::testing
