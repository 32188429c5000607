#pragma once
// The history folder seam of device/config_history.h on a POSIX system:
// mkdir, readdir, open with O_EXCL (a name that exists, a planted symbolic
// link included, is never written through), unlink, gmtime. A file that
// cannot be written whole (a full disk, a file size limit) is removed.
#include <optional>
#include <string>

#include "device/config_history.h"

namespace tamlo::device {

// The process's one instance; it holds only the reason of its last failure.
HistoryFolder& PosixHistoryFolder();

// The history root under the user's data folder (~/.local/share):
// "<data>/<organisation>/<application title>/history", where the GUI's
// QStandardPaths::AppDataLocation points.
std::string HistoryRootUnder(const std::string& user_data_folder);

// The history root under $XDG_DATA_HOME, or $HOME/.local/share when that
// is unset or not absolute (a relative XDG value is to be ignored, where Qt
// would take it from the current folder). Nothing when neither variable is
// usable.
std::optional<std::string> DefaultHistoryRoot(const char* xdg_data_home, const char* home);

// DefaultHistoryRoot of this process's environment: the one history of the
// configurator and the console tool.
std::optional<std::string> UserHistoryRoot();

// The folder name under the application data folder.
inline constexpr const char* kHistoryFolderName = "history";

}  // namespace tamlo::device
