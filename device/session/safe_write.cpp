#include "device/session/safe_write.h"

#include "config/firmware_check.h"
#include "device/config_compare.h"
#include "device/session/device_image.h"
#include "device/session/session_texts.h"

namespace tamlo::device {
namespace {

// The folder of the device's history; nothing (the front end told) when the
// write must not go ahead.
std::optional<std::string> KeepBackup(SafeWriteFrontEnd& front, ConfigHistory& history, const std::string& place) {
  link::ActionInput read;
  read.no_configuration_ok = true;
  // The identification first: its serial number names the device's folder.
  if (!front.RunAction(link::SERIAL_READ, {})) {
    front.BackupStopped(BackupStop::ReadFailed, kBackupReadFailed);
    return std::nullopt;
  }
  const std::string serial = front.ReportedSerialNumber();
  if (!front.RunAction(link::CONFIG_READ, read)) {
    front.BackupStopped(BackupStop::ReadFailed, kBackupReadFailed);
    return std::nullopt;
  }
  std::string folder = DeviceFolderName(serial, place);
  if (front.FoundNoConfiguration()) {
    // A new device: nothing to lose, and the written image still gets its copy.
    front.LogLine(kNothingToBackUp);
    front.BackupKept(std::nullopt);
    return folder;
  }
  // Only a configuration is a backup: what a load would refuse could not
  // restore the device.
  const DeviceImage checked = CheckDeviceImage(front.ReceivedBytes());
  if (!checked.accepted()) {
    front.BackupStopped(BackupStop::NotAConfiguration, std::string(kBackupRefused) + checked.refusal);
    return std::nullopt;
  }
  const std::optional<std::string> kept = history.Keep(folder, "read", front.ReceivedBytes());
  if (!kept) {
    front.BackupStopped(BackupStop::NotKept,
                        "Не удалось сохранить резервную копию в " + history.root() + " (" + history.last_error() + ")");
    return std::nullopt;
  }
  front.LogLine("Резервная копия конфигурации прибора: " + *kept);
  front.BackupKept(kept);
  return folder;
}

// The compatibility check's log lines as the front end's.
class FrontEndLog final : public ServiceLog {
 public:
  explicit FrontEndLog(SafeWriteFrontEnd& front) : m_front(front) {}
  void LogInfo(std::string_view text) override { m_front.LogLine(std::string(text)); }

 private:
  SafeWriteFrontEnd& m_front;
};

}  // namespace

SafeWriteResult SafeWrite(SafeWriteFrontEnd& front, const std::vector<uint8_t>& image, ConfigHistory* history,
                          const std::string& place) {
  SafeWriteResult result;
  std::optional<std::string> folder;
  if (history) {
    folder = KeepBackup(front, *history, place);
    if (!folder) return result;
  }
  link::ActionInput input;
  input.data = image.data();
  input.length = image.size();
  const bool written = front.RunAction(link::CONFIG_WRITE, input);
  // A step after the device took the whole image (its clock, its
  // notification queue) may fail or be cancelled: the device holds the new
  // configuration all the same, and the link's message said which step did
  // not finish.
  if (!written && !front.ImageStored()) return result;
  result.outcome = written ? WriteOutcome::Written : WriteOutcome::StoredStepFailed;
  if (history) {
    // The write is done; a copy that cannot be kept is only noted.
    result.written_copy = history->Keep(*folder, "written", image);
    front.LogLine(result.written_copy ? "Записанная конфигурация сохранена в " + *result.written_copy
                                      : "Не удалось сохранить копию записанной конфигурации в " + history->root() +
                                            " (" + history->last_error() + ")");
  }
  return result;
}

ConfigWriteResult WriteConfiguration(SafeWriteFrontEnd& front, const std::vector<uint8_t>& image,
                                     ConfigHistory* history, const std::string& place, UserDialogs& dialogs) {
  ConfigWriteResult result{SafeWrite(front, image, history, place), {}};
  if (result.outcome == WriteOutcome::NotWritten) return result;
  const uint32_t firmware = front.FirmwareVersionNumber();
  FrontEndLog log(front);
  CheckFirmwareCompatibility(firmware, log, dialogs);
  for (const NotedSetting& s : NotedSettings())
    if (s.min_version > firmware) result.unsupported.push_back(s);
  return result;
}

Verification VerifyWrite(SafeWriteFrontEnd& front, const std::vector<uint8_t>& written) {
  Verification verification;
  if (!front.RunAction(link::CONFIG_READ, {})) return verification;
  verification.read = true;
  verification.fault = VerifyReadBack(written, front.ReceivedBytes());
  return verification;
}

}  // namespace tamlo::device
