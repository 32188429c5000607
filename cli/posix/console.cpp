// The console tool's terminal on POSIX: /dev/tty for the password prompt,
// termios for the echo, signals for Ctrl+C.
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <filesystem>

#include "cli/terminal.h"
#include "link/serial_port.h"

namespace tamlo::cli {

std::string CommandLinePort(const std::string& value) { return link::CommandLinePortPath(value); }

std::string ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.parent_path().string();
}

void PrepareConsole() {}

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

namespace {

// The terminal a prompt has switched the echo off on, for the signal
// handlers that put it back.
int g_prompt_fd = -1;
termios g_prompt_saved{};
volatile std::sig_atomic_t g_prompt_quiet = 0;
struct sigaction g_previous_int {}, g_previous_term {};

// Ctrl+C at the prompt cancels the whole run at once (the exchange waits in
// the read, so the link's cancel could not be seen); SIGTERM goes on to the
// handler it would have met. Either way the echo comes back first.
void RestoreEchoAndStop(int signal_number) {
  if (g_prompt_quiet) {
    tcsetattr(g_prompt_fd, TCSANOW, &g_prompt_saved);
    (void)!write(g_prompt_fd, "\n", 1);
  }
  if (signal_number == SIGINT) _exit(130);
  sigaction(SIGTERM, &g_previous_term, nullptr);
  raise(SIGTERM);
}

volatile std::sig_atomic_t g_interrupted = 0;
void (*g_previous_interrupt)(int) = nullptr;

void OnInterrupt(int) {
  if (g_interrupted) _exit(130);  // a second Ctrl+C does not wait for the link
  g_interrupted = 1;
}

}  // namespace

std::optional<std::string> ReadPasswordFromTerminal(const std::string& prompt) {
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct sigaction stop {};
  stop.sa_handler = RestoreEchoAndStop;
  sigemptyset(&stop.sa_mask);
  sigaddset(&stop.sa_mask, SIGINT);
  sigaddset(&stop.sa_mask, SIGTERM);
  sigaction(SIGINT, &stop, &g_previous_int);
  sigaction(SIGTERM, &stop, &g_previous_term);
  g_prompt_fd = fd;
  if (tcgetattr(fd, &g_prompt_saved) == 0) {
    termios quiet = g_prompt_saved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    quiet.c_lflag |= ECHONL;
    g_prompt_quiet = 1;  // set before the change, so a signal in between restores
    tcsetattr(fd, TCSAFLUSH, &quiet);
  }
  (void)!write(fd, prompt.data(), prompt.size());
  std::string line;
  bool ended = false;
  for (;;) {
    char c = 0;
    const ssize_t n = read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ended = line.empty();
      break;
    }
    if (c == '\n' || c == '\r') break;
    line.push_back(c);
  }
  if (g_prompt_quiet) tcsetattr(fd, TCSAFLUSH, &g_prompt_saved);
  g_prompt_quiet = 0;
  sigaction(SIGINT, &g_previous_int, nullptr);
  sigaction(SIGTERM, &g_previous_term, nullptr);
  close(fd);
  if (ended) return std::nullopt;
  return line;
}

InterruptAsCancel::InterruptAsCancel() {
  g_interrupted = 0;
  g_previous_interrupt = std::signal(SIGINT, OnInterrupt);
}

InterruptAsCancel::~InterruptAsCancel() { std::signal(SIGINT, g_previous_interrupt); }

bool TakeInterrupt() {
  if (!g_interrupted) return false;
  g_interrupted = 0;
  return true;
}

std::string LogTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &tm);
  return text;
}

}  // namespace tamlo::cli
