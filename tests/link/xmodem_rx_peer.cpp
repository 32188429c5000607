// The test peer of the lrzsz interoperability test: a bootloader's front
// door on a pseudo-terminal. It waits for the wake string, answers with the
// prompt, takes "Y", and then hands the line to lrzsz `rx`, which receives
// the XMODEM transfer (checksum, 128-byte blocks) into a file.
//
//   xmodem_rx_peer TERMINAL FOLDER FILE   (exit status: rx's, or 3 on a peer failure)
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 4) return 3;
  const int fd = open(argv[1], O_RDWR | O_NOCTTY);
  if (fd < 0 || chdir(argv[2]) != 0) return 3;
  termios t{};
  if (tcgetattr(fd, &t) != 0) return 3;
  cfmakeraw(&t);
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  if (tcsetattr(fd, TCSANOW, &t) != 0) return 3;

  static const unsigned char kWake[22] = {0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x08, 0x08, 0x08, 0x08, 0x08,
                                          0x08, 'S',  ' ',  'U',  'P',  'G',  'R',  'A',  'D',  'E',  0x0D};
  size_t matched = 0;
  unsigned char byte = 0;
  while (matched < sizeof kWake) {
    if (read(fd, &byte, 1) != 1) return 3;
    if (byte == kWake[matched]) ++matched;
    else matched = byte == kWake[0] ? 1 : 0;
  }
  static const char kPrompt[] = "Upgrade firmware (Y/N) ? ";
  if (write(fd, kPrompt, sizeof kPrompt - 1) != ssize_t(sizeof kPrompt - 1)) return 3;
  do {
    if (read(fd, &byte, 1) != 1) return 3;
  } while (byte != 'Y');

  // rx talks through pipes, relayed to the terminal here: on a terminal of
  // its own, rx empties its input after every ACK and its output when it
  // exits, which at pseudo-terminal speed would swallow our next block or
  // its own final ACK. A real line has no such race.
  int to_rx[2], from_rx[2];
  if (pipe(to_rx) != 0 || pipe(from_rx) != 0) return 3;
  const pid_t pid = fork();
  if (pid < 0) return 3;
  if (pid == 0) {
    if (dup2(to_rx[0], 0) < 0 || dup2(from_rx[1], 1) < 0) _exit(3);
    close(to_rx[0]);
    close(to_rx[1]);
    close(from_rx[0]);
    close(from_rx[1]);
    close(fd);
    execlp("rx", "rx", "-b", "-y", "-q", argv[3], static_cast<char*>(nullptr));
    std::perror("rx");
    _exit(3);
  }
  close(to_rx[0]);
  close(from_rx[1]);
  unsigned char buffer[4096];
  for (;;) {
    pollfd p[2] = {{fd, POLLIN, 0}, {from_rx[0], POLLIN, 0}};
    if (poll(p, 2, 1000) < 0) break;
    if (p[0].revents & POLLIN) {
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n > 0 && write(to_rx[1], buffer, size_t(n)) != n) break;
    }
    if (p[1].revents & (POLLIN | POLLHUP)) {
      const ssize_t n = read(from_rx[0], buffer, sizeof buffer);
      if (n <= 0) break;  // rx has exited and said everything
      if (write(fd, buffer, size_t(n)) != n) break;
    }
  }
  close(to_rx[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  tcdrain(fd);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}
