#include "cli/safe_write.h"

#include <cstdio>

#include "cli/console_dialogs.h"
#include "config/cp1251.h"
#include "device/session/session_texts.h"
#include "device/system_history_folder.h"

namespace tamlo::cli {
namespace {

class ConsoleSafeWrite final : public device::SafeWriteFrontEnd {
 public:
  explicit ConsoleSafeWrite(DeviceSession& session) : m_session(session) {}

  bool RunAction(unsigned action, const link::ActionInput& input) override {
    return m_session.Run(action, input) == kExitOk;
  }
  const std::vector<uint8_t>& ReceivedBytes() const override { return m_session.received(); }
  std::string ReportedSerialNumber() const override { return m_session.serial().value_or(""); }
  bool FoundNoConfiguration() const override { return m_session.found_no_configuration(); }
  bool ImageStored() const override { return m_session.image_stored(); }
  uint32_t FirmwareVersionNumber() const override { return m_session.firmware_version_number(); }
  void LogLine(const std::string& text) override { m_session.LogInfo(text); }
  void BackupStopped(device::BackupStop, const std::string& reason) override {
    std::fprintf(stderr, "%s\ntamlocfg-cli: запись отменена (без резервной копии: --no-backup)\n", reason.c_str());
  }
  void BackupKept(const std::optional<std::string>& path) override {
    if (path) std::printf("backup: %s\n", path->c_str());
    else std::printf("%s\n", device::kNothingToBackUp);
  }

 private:
  DeviceSession& m_session;
};

}  // namespace

std::string DevicePlace(const GlobalOptions& options) {
  if (!options.dial.empty()) return options.dial;
  return options.demo ? std::string(device::kDemoPortName) : options.port;
}

std::optional<device::ConfigWriteResult> WriteConfiguration(DeviceSession& session, const GlobalOptions& options,
                                                            const std::vector<uint8_t>& image, bool backup) {
  std::optional<device::ConfigHistory> history;
  if (backup) {
    const std::optional<std::string> root = device::UserHistoryRoot();
    if (!root) {
      std::fprintf(stderr, "tamlocfg-cli: no folder for backups (%s); --no-backup writes without one\n",
                   device::kNoUserHistoryRoot);
      return std::nullopt;
    }
    history.emplace(device::SystemHistoryFolder(), *root);
  }
  ConsoleSafeWrite front(session);
  ConsoleDialogs dialogs;
  return device::WriteConfiguration(front, image, history ? &*history : nullptr, DevicePlace(options), dialogs);
}

int VerifyWrite(DeviceSession& session, const std::vector<uint8_t>& written) {
  ConsoleSafeWrite front(session);
  const device::Verification verified = device::VerifyWrite(front, written);
  if (!verified.read) return kExitFailed;
  if (verified.fault) {
    session.LogInfo(*verified.fault);
    std::fprintf(stderr, "%s\n", EscapeControls(*verified.fault).c_str());
    return kExitFailed;
  }
  session.LogInfo(device::kWriteVerified);
  std::printf("verified: the device holds the configuration written\n");
  return kExitOk;
}

}  // namespace tamlo::cli
