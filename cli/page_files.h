#pragma once
// Configuration files through the settings pages, as the GUI's Open does;
// shared by the commands that load a file into pages (resave, settings,
// edit, config-write).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// config-write's file: the image to send (header and data as the file holds
// them), its settings noted as above. Nothing, with the reason on standard
// error and the exit status in `status`, when the file cannot be read or
// loading it would refuse it: a malformed encoding always, data the pages
// do not know unless `force` (the device would get settings nobody can see
// or edit).
std::optional<std::vector<uint8_t>> ImageToWrite(FileSystem& fs, const std::string& path, bool force, int& status);

}  // namespace tamlo::cli
