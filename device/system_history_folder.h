#pragma once
// The history folder seam of config_history.h on the operating system
// (device/posix/ or device/win32/, whichever the build links), and where the
// configurator and the console tool keep their one history.
#include <optional>
#include <string>

#include "device/config_history.h"

namespace tamlo::device {

// The process's one instance; it holds only the reason of its last failure.
HistoryFolder& SystemHistoryFolder();

// The history root under the user's data folder:
// "<data>/<organisation>/<application title>/history", with the system's
// separator, where the GUI's QStandardPaths::AppDataLocation points.
std::string HistoryRootUnder(const std::string& user_data_folder);

// The history root of this user (~/.local/share on POSIX, the roaming
// application data folder on Windows); nothing when the system cannot say.
std::optional<std::string> UserHistoryRoot();

// The folder of this user's per-user settings files, the phone book's
// ($XDG_CONFIG_HOME or ~/.config on POSIX, the roaming application data
// folder on Windows); nothing when the system cannot say.
std::optional<std::string> UserSettingsFolder();

// Why UserHistoryRoot() gave nothing, in the terms of this system ("neither
// XDG_DATA_HOME nor HOME is set").
extern const char* const kNoUserHistoryRoot;

// The folder name under the application data folder.
inline constexpr const char* kHistoryFolderName = "history";

}  // namespace tamlo::device
