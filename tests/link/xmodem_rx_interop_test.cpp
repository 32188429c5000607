// Our XMODEM sender against an independent receiver, lrzsz `rx`, on a
// pseudo-terminal: the file rx writes must be the firmware file followed by
// 0x1A padding to a multiple of 128 bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "link/bootloader_entry.h"
#include "link/link_codes.h"
#include "recording_callback.h"
#include "support/temp_dir.h"

extern char** environ;

namespace tamlo::link::testing {
namespace {

using tamlo::testing::ReadFileBytes;
using tamlo::testing::TempDir;

// The host's end of the line: the terminal's master side, raw bytes.
class MasterPort final : public SerialPort {
 public:
  explicit MasterPort(int fd) : m_fd(fd) {}
  bool Open(const std::string&) override { return true; }
  void Close() override {}
  bool IsOpen() const override { return true; }
  bool GetSettings(PortSettings& s) override {
    s = m_settings;
    return true;
  }
  bool SetSettings(const PortSettings& s) override {
    m_settings = s;
    return true;
  }
  bool Purge() override { return true; }
  bool SetTimeouts() override { return true; }
  std::optional<PortQueues> Queues() override { return std::nullopt; }
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override {
    got = 0;
    pollfd p{m_fd, POLLIN, 0};
    if (poll(&p, 1, int(kReadWaitMs)) <= 0) return true;
    const ssize_t n = read(m_fd, buffer, capacity);
    if (n > 0) got = size_t(n);
    return true;
  }
  bool Write(const uint8_t* data, size_t size, size_t& written) override {
    written = 0;
    pollfd p{m_fd, POLLOUT, 0};
    if (poll(&p, 1, int(kWriteWaitMs)) <= 0) return true;
    const ssize_t n = write(m_fd, data, size);
    if (n > 0) written = size_t(n);
    return n >= 0;
  }
  bool CarrierDetected() override { return true; }
  uint32_t LastErrorCode() const override { return 0; }
  std::string LastErrorText() const override { return {}; }

 private:
  int m_fd;
  PortSettings m_settings;
};

class StringFile final : public FirmwareFile {
 public:
  explicit StringFile(std::string bytes) : data(std::move(bytes)) {}
  uint64_t Length() override { return data.size(); }
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override {
    got = data.copy(reinterpret_cast<char*>(buffer), capacity, pos);
    pos += got;
    return true;
  }
  std::string data;
  size_t pos = 0;
};

std::string Firmware(size_t n) {
  std::string s(n, '\0');
  uint32_t x = uint32_t(n);
  for (char& c : s) c = char((x = x * 1103515245u + 12345u) >> 16);
  return s;
}

// One transfer to rx through the peer; rx's file, or "" when it failed.
std::string SendToRx(const std::string& firmware, int& rx_status) {
  TempDir dir;
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  EXPECT_GE(master, 0);
  EXPECT_EQ(grantpt(master), 0);
  EXPECT_EQ(unlockpt(master), 0);
  termios t{};
  tcgetattr(master, &t);
  cfmakeraw(&t);
  tcsetattr(master, TCSANOW, &t);
  std::string slave = ptsname(master);
  // Held open so that rx exiting right after its last ACK does not hang up
  // the terminal before that ACK has been read.
  const int slave_hold = open(slave.c_str(), O_RDWR | O_NOCTTY);
  EXPECT_GE(slave_hold, 0);
  std::string folder = dir.path().string();
  std::string file = "received.fmw";
  std::string peer = XMODEM_RX_PEER;
  char* argv[] = {peer.data(), slave.data(), folder.data(), file.data(), nullptr};
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, peer.c_str(), nullptr, nullptr, argv, environ), 0);

  MasterPort port(master);
  SystemClock clock;
  SleepingPump pump;
  SerialCore core(port, clock, pump);
  CommandProtocol protocol(core);
  RecordingCallback cb;
  StringFile source(firmware);
  const int result = EnterBootloader(protocol, core, source, cb);
  EXPECT_EQ(result, 0) << (cb.errors.empty() ? "" : cb.errors[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  close(master);
  close(slave_hold);
  rx_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const std::filesystem::path received = dir / file;
  return std::filesystem::exists(received) ? ReadFileBytes(received) : std::string();
}

TEST(XmodemInterop, LrzszRxReceivesTheFilePaddedTo128Bytes) {
  for (size_t size : {300u, 256u, 33000u}) {  // a short last block, an exact fit, block numbers past 255
    SCOPED_TRACE(size);
    const std::string firmware = Firmware(size);
    int rx_status = -1;
    const std::string received = SendToRx(firmware, rx_status);
    EXPECT_EQ(rx_status, 0);
    std::string expected = firmware;
    expected.resize((size + 127) / 128 * 128, '\x1A');
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected);
  }
}

}  // namespace
}  // namespace tamlo::link::testing
