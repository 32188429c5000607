#pragma once
// The console's side of the configuration write (device/session/safe_write.h),
// the same steps the device window takes: where the history lives, and the
// reports of each step on the terminal.
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/device_session.h"
#include "device/session/safe_write.h"

namespace tamlo::cli {

// The device's place when it reports no serial number: the dialled number,
// the port, or the demo device's port entry as the GUI names it.
std::string DevicePlace(const GlobalOptions& options);

// Writes `image` through the session, with a backup into the user's history
// (the folder the GUI uses) first unless `backup` is false. A stopped
// backup's reason goes to standard error, the backup's file to standard
// output ("backup: PATH"), the compatibility check's warning to standard
// error. Nothing, said on standard error, when a backup is wanted and there
// is no folder for it.
std::optional<device::ConfigWriteResult> WriteConfiguration(DeviceSession& session, const GlobalOptions& options,
                                                            const std::vector<uint8_t>& image, bool backup);

// Reads the configuration back and compares it with `written`: kExitOk when
// the device holds the same data, kExitFailed (the first differing setting
// on standard error) when not or when the read fails.
int VerifyWrite(DeviceSession& session, const std::vector<uint8_t>& written);

}  // namespace tamlo::cli
