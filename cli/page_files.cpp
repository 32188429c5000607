#include "cli/page_files.h"

#include "cli/cli_command.h"
#include "config/config_files.h"
#include "config/tagged_encoding.h"

namespace tamlo::cli {

int LoadPagesFromFile(SettingsPages& pages, UserDialogs& dialogs, FileSystem& fs, const std::string& name) {
  ResetAllPages(pages.Set());
  try {
    const ConfigImageFile image = ReadConfigImageFile(fs, name);
    LoadConfigData(pages.Set(), image.data.data(), image.data.size(), image.header);
    return kExitOk;
  } catch (const ConfigLoadError& e) {
    dialogs.ShowMessage(e.what(), kLoadErrorCaption, MessageIcon::Error);
    switch (e.walk_result()) {
      case ConfigLoadError::kNotWalked: return kExitFailed;
      case kWalkUnrecognised: return kExitUnrecognised;
      default: return kExitMalformed;
    }
  }
}

}  // namespace tamlo::cli
