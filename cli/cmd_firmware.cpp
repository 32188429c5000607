// fw-update FILE: sends a firmware file to the device's bootloader over a
// local port (the device is switched into its bootloader when its firmware
// is running). The file goes out unchanged, 128 bytes per XMODEM block.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/device_session.h"
#include "config/system_file_system.h"
#include "config/utf8_path.h"
#include "device/session/session_texts.h"
#include "link/xmodem_sender.h"

namespace tamlo::cli {
namespace {

// The firmware file through the file seam.
class SeamFirmwareFile final : public link::FirmwareFile {
 public:
  explicit SeamFirmwareFile(std::unique_ptr<InputFile> file) : m_file(std::move(file)) {}
  uint64_t Length() override { return m_file->Size(); }
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override {
    got = m_file->Read(buffer, capacity);
    return m_file->Problem().empty();
  }

 private:
  std::unique_ptr<InputFile> m_file;
};

// Opens the firmware file if it can be sent: a readable, non-empty regular
// file. Checked before the device is switched into its bootloader, which a
// bad file would leave there. Opening never waits (a FIFO is refused after
// an open that does not wait for its writer).
std::unique_ptr<SeamFirmwareFile> OpenFirmwareFile(const std::string& path, std::string& problem) {
  std::error_code ec;
  if (std::filesystem::is_directory(PathOfUtf8(path), ec)) {
    problem = "not a regular file";
    return nullptr;
  }
  FileProblem why;
  std::unique_ptr<InputFile> file = SystemFileSystem().OpenRead(path, why);
  if (!file) problem = why.text;
  else if (file->Size() == kUnknownInputSize) problem = "not a regular file";
  else if (file->Size() == 0) problem = "the file is empty";
  else return std::make_unique<SeamFirmwareFile>(std::move(file));
  return nullptr;
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
  const std::unique_ptr<SeamFirmwareFile> firmware = OpenFirmwareFile(args[0], problem);
  if (!firmware) {
    std::fprintf(stderr, "tamlocfg-cli: cannot send %s as firmware: %s\n", args[0].c_str(), problem.c_str());
    return kExitFailed;
  }
  link::ActionInput input;
  input.firmware = firmware.get();
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
