#pragma once
// Configuration files through the settings pages, as the GUI's Open does;
// shared by the commands that load a file into pages (resave, settings,
// edit, config-write).
#include <string>

#include "config/config_files.h"
#include "config/file_system.h"
#include "config/user_interface.h"
#include "pages/settings_pages.h"

namespace tamlo::cli {

// Loads `name` into the pages as the GUI's Open does. Returns kExitOk,
// kExitUnrecognisedData, kExitMalformedData, or kExitFailed when the file
// was refused before anything was loaded; the message of a load that was
// not clean has been shown through `dialogs`.
int LoadPagesFromFile(SettingsPages& pages, UserDialogs& dialogs, FileSystem& fs, const std::string& name);

// Loads `file` into fresh pages and stores them, as the window's Open and
// store do: the settings registry then holds the file's settings with the
// firmware versions they need. kExitOk, or the status of a load that was not
// clean (as above) with its message in `message`; what it delivered is noted
// all the same.
int NotePageSettings(const ConfigImageFile& file, std::string& message);

}  // namespace tamlo::cli
