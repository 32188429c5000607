// The settings pages without a window:
//   resave IN OUT        what the GUI does on Open then Save As
//   settings FILE [--json]  the configuration as the pages show it
//
// Both load through the very page models the GUI uses, so every check,
// message and correction is the GUI's. Messages the GUI would show in boxes
// go to standard error, one per line.
//
// Exit status: 0 when IN loaded cleanly, 2 when it held unrecognised data,
// 3 when its encoding was malformed (in both cases what was loaded is still
// saved or listed, as the GUI would), 1 when IN is refused or OUT cannot be
// written (OUT is then untouched).
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/console_dialogs.h"
#include "cli/page_files.h"
#include "cli/text_output.h"
#include "config/config_files.h"
#include "config/cp1251.h"
#include "config/system_file_system.h"
#include "pages/settings_pages.h"

namespace tamlo::cli {
namespace {

int Resave(const GlobalOptions&, const std::vector<std::string>& args);
int Settings(const GlobalOptions&, const std::vector<std::string>& args);

const Command kResave = {"resave", "IN OUT",
                         "load a configuration file through the settings pages and save it again, as Open and "
                         "Save As in the GUI",
                         &Resave};
const Command kSettings = {"settings", "FILE [--json]",
                           "list the settings of a configuration file that differ from their defaults, as the "
                           "pages show them (page.control = value)",
                           &Settings};

int Resave(const GlobalOptions&, const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError(kResave, args.size() < 2 ? "IN and OUT needed" : "too many arguments");
  ConsoleDialogs dialogs;
  FileSystem& fs = SystemFileSystem();
  SettingsPages pages(dialogs);
  const int loaded = LoadPagesFromFile(pages, dialogs, fs, args[0]);
  if (loaded == kExitFailed) return kExitFailed;
  ConfigFiles files(pages.Set(), dialogs, fs);
  if (!files.SaveConfigFile(args[1])) return kExitFailed;
  return loaded;
}

int Settings(const GlobalOptions&, const std::vector<std::string>& args) {
  std::string file;
  bool json = false;
  for (const std::string& a : args) {
    if (a == "--json") json = true;
    else if (a.rfind("--", 0) == 0) return UsageError(kSettings, "unknown option " + a);
    else if (file.empty()) file = a;
    else return UsageError(kSettings, "one FILE only");
  }
  if (file.empty()) return UsageError(kSettings, "FILE missing");

  ConsoleDialogs dialogs;
  FileSystem& fs = SystemFileSystem();
  SettingsPages pages(dialogs);
  const int loaded = LoadPagesFromFile(pages, dialogs, fs, file);
  if (loaded == kExitFailed) return kExitFailed;
  const std::vector<SettingValue> settings = pages.ListChangedSettings();
  if (json) {
    std::printf("{");
    for (size_t i = 0; i < settings.size(); ++i)
      std::printf("%s%s:%s", i ? "," : "", JsonString(settings[i].name).c_str(),
                  JsonString(settings[i].value).c_str());
    std::printf("}\n");
  } else {
    for (const SettingValue& s : settings)
      std::printf("%s = %s\n", s.name.c_str(), EscapeControls(s.value).c_str());
  }
  return loaded;
}

TAMLO_CLI_COMMAND(kResave);
TAMLO_CLI_COMMAND(kSettings);

}  // namespace
}  // namespace tamlo::cli
