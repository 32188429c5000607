#pragma once
// The safety steps of `config-write`, the same the device window takes: the
// backup before the write (identify the device, read its configuration, keep
// it in the history with the image written) and the read back that checks
// what the device stored.
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/device_session.h"
#include "device/config_history.h"

namespace tamlo::cli {

// The history of the console: under $XDG_DATA_HOME or ~/.local/share, the
// folder the GUI uses. Nothing when neither variable is usable.
std::optional<std::string> ConsoleHistoryRoot();

// The device's place when it reports no serial number: the dialled number,
// the port, or the demo device's port entry as the GUI names it.
std::string DevicePlace(const GlobalOptions& options);

// Identifies the device, reads its configuration and keeps it in the
// history; the device's folder name for the written image. Nothing (the
// reason on standard error) when the write must not go ahead: the read
// failed, it is no configuration, or its file could not be kept. A device
// that has no configuration has nothing to keep: said so, and the write goes
// ahead.
std::optional<std::string> KeepBackup(DeviceSession& session, const GlobalOptions& options,
                                      device::ConfigHistory& history);

// Reads the configuration back and compares it with `written`: kExitOk when
// the device holds the same data, kExitFailed (the first differing setting
// on standard error) when not or when the read fails.
int VerifyWrite(DeviceSession& session, const std::vector<uint8_t>& written);

}  // namespace tamlo::cli
