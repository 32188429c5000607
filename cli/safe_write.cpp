#include "cli/safe_write.h"

#include <cstdio>
#include <cstdlib>

#include "config/cp1251.h"
#include "device/config_compare.h"
#include "device/load_config_image.h"
#include "device/posix/posix_history_folder.h"

namespace tamlo::cli {

std::optional<std::string> ConsoleHistoryRoot() {
  return device::UserHistoryRoot();
}

std::string DevicePlace(const GlobalOptions& options) {
  if (!options.dial.empty()) return options.dial;
  // "Демо-прибор" is the GUI's port entry of the same demo device.
  return options.demo ? std::string("Демо-прибор") : options.port;
}

std::optional<std::string> KeepBackup(DeviceSession& session, const GlobalOptions& options,
                                      device::ConfigHistory& history) {
  constexpr const char* kStopped = "tamlocfg-cli: запись отменена (без резервной копии: --no-backup)\n";
  link::ActionInput read;
  read.no_configuration_ok = true;
  // The identification's serial number names the device's folder.
  const bool identified = session.Run(link::SERIAL_READ) == kExitOk;
  const std::string serial = session.serial().value_or("");
  if (!identified || session.Run(link::CONFIG_READ, read) != kExitOk) {
    std::fprintf(stderr, "Не удалось прочитать конфигурацию из прибора для резервной копии\n%s", kStopped);
    return std::nullopt;
  }
  const std::string folder = device::DeviceFolderName(serial, DevicePlace(options));
  if (session.found_no_configuration()) {
    // A new device: nothing to lose; the image written still gets its copy.
    session.LogInfo(device::kNothingToBackUp);
    std::printf("%s\n", device::kNothingToBackUp);
    return folder;
  }
  const device::DeviceImage checked = device::CheckDeviceImage(session.received());
  if (!checked.accepted()) {
    std::fprintf(stderr, "%s%s\n%s", device::kBackupRefused, checked.refusal, kStopped);
    return std::nullopt;
  }
  const std::optional<std::string> kept = history.Keep(folder, "read", session.received());
  if (!kept) {
    std::fprintf(stderr, "Не удалось сохранить резервную копию в %s (%s)\n%s", history.root().c_str(),
                 history.last_error().c_str(), kStopped);
    return std::nullopt;
  }
  session.LogInfo("Резервная копия конфигурации прибора: " + *kept);
  std::printf("backup: %s\n", kept->c_str());
  return folder;
}

int VerifyWrite(DeviceSession& session, const std::vector<uint8_t>& written) {
  if (session.Run(link::CONFIG_READ) != kExitOk) return kExitFailed;
  if (const std::optional<std::string> fault = device::VerifyReadBack(written, session.received())) {
    session.LogInfo(*fault);
    std::fprintf(stderr, "%s\n", EscapeControls(*fault).c_str());
    return kExitFailed;
  }
  session.LogInfo("Проверка записи пройдена");
  std::printf("verified: the device holds the configuration written\n");
  return kExitOk;
}

}  // namespace tamlo::cli
