#pragma once
// Configuration files through the settings pages, as the GUI's Open does;
// shared by the commands that load a file into pages (resave, settings,
// edit).
#include <string>

#include "config/file_system.h"
#include "config/user_interface.h"
#include "pages/settings_pages.h"

namespace tamlo::cli {

// Exit statuses of a load that went through with a message: what was
// loaded is still there.
inline constexpr int kExitUnrecognised = 2;
inline constexpr int kExitMalformed = 3;

// Loads `name` into the pages as the GUI's Open does. Returns kExitOk,
// kExitUnrecognised, kExitMalformed, or kExitFailed when the file was
// refused before anything was loaded; the message of a load that was not
// clean has been shown through `dialogs`.
int LoadPagesFromFile(SettingsPages& pages, UserDialogs& dialogs, FileSystem& fs, const std::string& name);

}  // namespace tamlo::cli
