// fw-update FILE: sends a firmware file to the device's bootloader over a
// local port (the device is switched into its bootloader when its firmware
// is running). The file goes out unchanged, 128 bytes per XMODEM block.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/device_session.h"
#include "device/session/session_texts.h"
#include "link/xmodem_sender.h"

namespace tamlo::cli {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Opens the firmware file if it can be sent: a readable, non-empty regular
// file. Checked before the device is switched into its bootloader, which a
// bad file would leave there. Opening never waits (a FIFO is refused after
// an open that does not wait for its writer).
std::unique_ptr<std::FILE, FileCloser> OpenFirmwareFile(const std::string& path, std::string& problem) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    problem = std::strerror(errno);
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) problem = std::strerror(errno);
  else if (!S_ISREG(st.st_mode)) problem = "not a regular file";
  else if (st.st_size == 0) problem = "the file is empty";
  else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) problem = std::strerror(errno);
  std::FILE* file = problem.empty() ? ::fdopen(fd, "rb") : nullptr;
  if (file == nullptr) {
    if (problem.empty()) problem = std::strerror(errno);
    ::close(fd);
  }
  return std::unique_ptr<std::FILE, FileCloser>(file);
}

int FirmwareUpdate(const GlobalOptions& options, const std::vector<std::string>& args);

const Command kFirmwareUpdate{"fw-update", "FILE",
                              "update the device's firmware through its bootloader (local port only)",
                              FirmwareUpdate};

int FirmwareUpdate(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(kFirmwareUpdate, "one firmware file expected");
  if (!options.modem.empty() || !options.dial.empty()) {
    return UsageError(kFirmwareUpdate, "the firmware can only be updated over a local port, not through a modem");
  }
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  std::string problem;
  const std::unique_ptr<std::FILE, FileCloser> file = OpenFirmwareFile(args[0], problem);
  if (!file) {
    std::fprintf(stderr, "tamlocfg-cli: cannot send %s as firmware: %s\n", args[0].c_str(), problem.c_str());
    return kExitFailed;
  }
  link::StdioFirmwareFile firmware(file.get());
  link::ActionInput input;
  input.firmware = &firmware;
  const int result = session.Run(link::FW_UPDATE, input);
  if (result != kExitOk && session.bootloader_entered()) {
    std::fprintf(stderr,
                 "tamlocfg-cli: the device now waits in its bootloader and runs no firmware; to retry, run "
                 "the same fw-update command again (it finds the bootloader and sends the file anew)\n");
  }
  if (result == kExitOk) {
    const char* done = device::kFirmwareUpdated;
    session.LogInfo(done);
    std::printf("%s\n", done);
  }
  return result;
}

}  // namespace

TAMLO_CLI_COMMAND(kFirmwareUpdate);

}  // namespace tamlo::cli
