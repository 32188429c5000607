// Comparing two configurations:
//   [--port PATH | --demo ...] diff A B
//
// A and B are .tamlo files or the word `device`: the configuration read from
// the device through the global options, as config-read reads it (a file
// named "device" is "./device"). Both are loaded through the settings pages and
// compared setting by setting (pages/settings_diff.h); each differing
// setting is one line on standard output, in page order,
//   general.E_Account: 0012 -> 0013
//   remote.LIST_Phones.3: (none) -> 333 | сторож
//   data.1201.1: bytes AB 01 -> (none)
// with "(none)" for a setting one side does not have and values escaped as
// `settings` escapes them. Fields that no page takes ("data.ID.N") come
// after the settings.
//
// Exit status: 0 equal, 1 different, 2 when a file cannot be read, is no
// configuration or is malformed, or the device cannot be read (the message
// on standard error, the device's service log too).
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/device_session.h"
#include "cli/text_output.h"
#include "config/config_files.h"
#include "config/cp1251.h"
#include "config/system_file_system.h"
#include "pages/settings_diff.h"

namespace tamlo::cli {
namespace {

constexpr int kExitDifferent = 1;
constexpr int kExitError = 2;

int Diff(const GlobalOptions&, const std::vector<std::string>& args);

const Command kDiff = {"diff", "A B",
                       "compare two configurations setting by setting, with the names of `settings`; A or B may "
                       "be `device`, read through --port/--demo (exit 0 equal, 1 different, 2 error)",
                       &Diff};

constexpr const char* kDeviceSide = "device";

// The encoded data of one side: a file's, or the device's read as
// config-read reads it. None when it cannot be had (the reason has been
// printed).
std::optional<std::vector<uint8_t>> SideData(const std::string& side, const GlobalOptions& options) {
  if (side == kDeviceSide) {
    DeviceSession session(options);
    if (session.CheckOptions() != kExitOk) return std::nullopt;
    std::optional<device::DeviceImage> image = session.ReadConfiguration();
    if (!image) return std::nullopt;
    return std::move(image->data);
  }
  try {
    ConfigImageFile image = ReadConfigImageFile(SystemFileSystem(), side);
    // Only the decoded length is configuration; a longer first length covers bytes no load walks.
    image.data.resize(std::min<size_t>(image.data.size(), image.header.length2));
    return std::move(image.data);
  } catch (const ConfigLoadError& e) {
    std::fprintf(stderr, "tamlocfg-cli diff: %s: %s\n", side.c_str(), EscapeControls(e.what()).c_str());
    return std::nullopt;
  }
}

std::string Shown(const std::optional<std::string>& value) {
  return value ? EscapeControls(*value) : std::string("(none)");
}

int Diff(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError(kDiff, args.size() < 2 ? "A and B needed" : "too many arguments");
  if (args[0] == kDeviceSide && args[1] == kDeviceSide) return UsageError(kDiff, "one side at most is the device");
  std::vector<uint8_t> data[2];
  for (size_t i = 0; i < 2; ++i) {
    std::optional<std::vector<uint8_t>> side = SideData(args[i], options);
    if (!side) return kExitError;
    data[i] = std::move(*side);
  }
  std::vector<SettingDifference> differences;
  try {
    differences = DiffConfigData(data[0], data[1]);
  } catch (const ConfigLoadError& e) {
    // DiffConfigData loads A first: a fault that a lone load of A does not
    // show is B's.
    std::string culprit = args[1];
    try {
      SettingsPages probe(SilentPageDialogs());
      LoadKeepingUntaken(probe, data[0].data(), data[0].size());
    } catch (const ConfigLoadError&) {
      culprit = args[0];
    }
    std::fprintf(stderr, "tamlocfg-cli diff: %s: %s\n", culprit.c_str(), EscapeControls(e.what()).c_str());
    return kExitError;
  }
  for (const SettingDifference& d : differences)
    std::printf("%s: %s -> %s\n", d.name.c_str(), Shown(d.a).c_str(), Shown(d.b).c_str());
  return differences.empty() ? kExitOk : kExitDifferent;
}

TAMLO_CLI_COMMAND(kDiff);

}  // namespace
}  // namespace tamlo::cli
