#pragma once
// The safe write of a configuration image, the same for the device window and
// the console tool: identify the device (its serial number names its folder
// in the history), read its configuration, check that it is one and keep it,
// write the image, keep the image written; and the read back that checks
// what the device stored.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/settings_registry.h"
#include "config/user_interface.h"
#include "device/config_history.h"
#include "link/exchange_dispatcher.h"

namespace tamlo::device {

// Why the backup stopped the write.
enum class BackupStop {
  ReadFailed,         // the identification or the read failed
  NotAConfiguration,  // what the device sent is no configuration
  NotKept,            // the history could not keep it
};

// What the safe write needs from a front end.
class SafeWriteFrontEnd {
 public:
  virtual ~SafeWriteFrontEnd() = default;
  // Runs one link action; true when it succeeded. The four reports below
  // are of the last action run.
  virtual bool RunAction(unsigned action, const link::ActionInput& input) = 0;
  virtual const std::vector<uint8_t>& ReceivedBytes() const = 0;
  // The serial number SERIAL_READ reported; empty when the device has none.
  virtual std::string ReportedSerialNumber() const = 0;
  // A CONFIG_READ with no_configuration_ok found no configuration.
  virtual bool FoundNoConfiguration() const = 0;
  // A CONFIG_WRITE got its whole image into the device (a later step may
  // have failed).
  virtual bool ImageStored() const = 0;
  // The firmware version (major * 100 + minor) the last action reported;
  // 0 when it reported none.
  virtual uint32_t FirmwareVersionNumber() const = 0;
  // A service log line.
  virtual void LogLine(const std::string& text) = 0;
  // The write does not go ahead; `reason` is one sentence without its full
  // stop: the front end says so and how to write without a backup.
  virtual void BackupStopped(BackupStop why, const std::string& reason) = 0;
  // The backup's file; nothing for a device without a configuration (the
  // log said so).
  virtual void BackupKept(const std::optional<std::string>& path) { (void)path; }
};

enum class WriteOutcome {
  NotWritten,        // the backup stopped it, or the write failed
  Written,           // every step finished
  StoredStepFailed,  // the device holds the image; a step after it failed
};

struct SafeWriteResult {
  WriteOutcome outcome = WriteOutcome::NotWritten;
  // The image written, kept in the history; nothing without a history or
  // when it could not be kept (the log said why).
  std::optional<std::string> written_copy;
};

// Writes `image`. With a `history` the device's configuration is kept first
// (its folder named by the serial number, else by `place`: the port or the
// dialled number) and a failed backup stops the write; a device without a
// configuration has nothing to keep and is written. The image written is
// kept once the device holds it, a step after the image failing or not.
SafeWriteResult SafeWrite(SafeWriteFrontEnd& front, const std::vector<uint8_t>& image, ConfigHistory* history,
                          const std::string& place);

struct ConfigWriteResult : SafeWriteResult {
  // Of an image the device holds: the settings noted when it was built (the
  // settings registry) that the firmware the write reported lacks, ascending
  // by version.
  std::vector<NotedSetting> unsupported;
};

// The configuration write of both front ends: SafeWrite, then, once the
// device holds the image, the firmware compatibility check of the settings
// noted when the image was built: its log lines through the front end, its
// warning through `dialogs`, the same settings listed in the result.
ConfigWriteResult WriteConfiguration(SafeWriteFrontEnd& front, const std::vector<uint8_t>& image,
                                     ConfigHistory* history, const std::string& place, UserDialogs& dialogs);

struct Verification {
  bool read = false;                 // the read back succeeded
  std::optional<std::string> fault;  // of a read back: the first difference
};

// Reads the configuration back and compares it with `written`.
Verification VerifyWrite(SafeWriteFrontEnd& front, const std::vector<uint8_t>& written);

}  // namespace tamlo::device
