#pragma once
// The history folder seam of device/config_history.h on a POSIX system:
// mkdir, readdir, open with O_EXCL (a name that exists, a planted symbolic
// link included, is never written through), unlink, gmtime. A file that
// cannot be written whole (a full disk, a file size limit) is removed.
#include <optional>
#include <string>

#include "device/system_history_folder.h"

namespace tamlo::device {

// The history root under $XDG_DATA_HOME, or $HOME/.local/share when that
// is unset or not absolute (a relative XDG value is to be ignored, where Qt
// would take it from the current folder). Nothing when neither variable is
// usable. UserHistoryRoot() is this of the process's environment.
std::optional<std::string> DefaultHistoryRoot(const char* xdg_data_home, const char* home);

}  // namespace tamlo::device
