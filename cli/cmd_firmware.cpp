// fw-update FILE: sends a firmware file to the device's bootloader over a
// local port (the device is switched into its bootloader when its firmware
// is running). The file goes out unchanged, 128 bytes per XMODEM block.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/device_session.h"
#include "link/xmodem_sender.h"

namespace tamlo::cli {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

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
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(args[0].c_str(), "rb"));
  if (!file) {
    std::perror(args[0].c_str());
    return kExitFailed;
  }
  link::StdioFirmwareFile firmware(file.get());
  link::ActionInput input;
  input.firmware = &firmware;
  const int result = session.Run(link::FW_UPDATE, input);
  if (result == kExitOk) {
    const char* done = "Обновление прошивки завершено. Устройство перезагружается.";
    session.LogInfo(done);
    std::printf("%s\n", done);
  }
  return result;
}

}  // namespace

TAMLO_CLI_COMMAND(kFirmwareUpdate);

}  // namespace tamlo::cli
