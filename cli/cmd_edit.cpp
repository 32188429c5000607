// Provisioning from text:
//   edit IN OUT [--set NAME=VALUE]... [--from FILE]...
//
// Loads IN through the settings pages ("-": freshly reset pages), applies
// each setting in the order given as the user would enter it
// (SettingsPages::ApplySetting: filters, typing limits, leaving and click
// rules), then stores the pages into OUT as Save As does, with the store's
// warnings on standard error.
//
// A --from file ("-": standard input) holds the lines `settings` prints, "page.control = value":
// the name, then " = " (or "=" when typed by hand), then the value with its
// control characters escaped as `settings` escapes them. Empty lines and
// lines starting with "#" are skipped; CR LF line ends and a UTF-8 byte order
// mark (a spreadsheet's text export) are taken. A --set value is taken as
// written, without escapes.
//
// Every line is checked before anything is written: an unknown name, a value
// its control cannot take or a line that is no setting is reported as
// "FILE:LINE: ..." (or "--set NAME=VALUE: ...") and OUT is not written.
//
// Exit status: 0 written from a clean IN, 2 or 3 written although IN held
// unrecognised or malformed data (as resave), 1 when a setting was refused,
// IN or a --from file could not be read, or OUT could not be written.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_command.h"
#include "cli/console_dialogs.h"
#include "cli/page_files.h"
#include "cli/text_output.h"
#include "config/config_files.h"
#include "config/cp1251.h"
#include "config/config_tree.h"
#include "config/system_file_system.h"
#include "config/whole_input.h"
#include "pages/settings_pages.h"

namespace tamlo::cli {
namespace {

int Edit(const GlobalOptions&, const std::vector<std::string>& args);

const Command kEdit = {"edit", "IN|- OUT [--set NAME=VALUE]... [--from FILE]...",
                       "set settings by their `settings` names as typed in the pages (IN - starts from defaults) "
                       "and save the result in OUT",
                       &Edit};

struct Source {
  bool from_file = false;
  std::string text;  // NAME=VALUE, or the file name
};

// Applies one setting; false (with the message printed) when refused.
// `where` names the line ("FILE:LINE", or "--set NAME=VALUE", which names
// the setting already).
bool Apply(SettingsPages& pages, const std::string& where, std::string_view name, std::string_view value) {
  const SettingApply result = pages.ApplySetting(name, value);
  if (result.ok()) return true;
  // Names and values come from the user's text: escaped, they cannot break the message's line.
  const std::string line = EscapeControls(where);
  const std::string setting = where.starts_with("--set") ? "" : EscapeControls(name) + ": ";
  if (result.status == SettingApply::Status::UnknownName) {
    std::fprintf(stderr, "%s: unknown setting %s\n", line.c_str(), EscapeControls(name).c_str());
  } else {
    std::fprintf(stderr, "%s: %s%s\n", line.c_str(), setting.c_str(), EscapeControls(result.reason).c_str());
  }
  return false;
}

// A settings text is a few kilobytes; a larger input is no settings list.
constexpr size_t kMaxSettingsText = size_t{1} << 20;

// The lines of one --from file; false when any is refused or the file
// cannot be read.
bool ApplyFile(SettingsPages& pages, FileSystem& fs, const std::string& name) {
  // Read to the end, not by its size: "--from <(...)" and "--from -" are pipes.
  std::string text;
  FileProblem problem;
  switch (ReadWholeInput(fs, name == "-" ? "/dev/stdin" : name, kMaxSettingsText, text, problem)) {
    case WholeInput::kOk: break;
    case WholeInput::kTooLarge:
      std::fprintf(stderr, "tamlocfg-cli edit: %s holds more than 1 MiB, no list of settings\n", name.c_str());
      return false;
    default:
      std::fprintf(stderr, "tamlocfg-cli edit: cannot read %s\n", name.c_str());
      return false;
  }
  std::string_view rest = text;
  if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);
  bool ok = true;
  for (int number = 1; !rest.empty(); ++number) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (TrimText(line).empty() || line.starts_with('#')) continue;
    const std::string where = name + ":" + std::to_string(number);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      std::fprintf(stderr, "%s: no \"name = value\" in this line\n", where.c_str());
      ok = false;
      continue;
    }
    std::string_view value = line.substr(equals + 1);
    if (value.starts_with(' ')) value.remove_prefix(1);
    const std::optional<std::string> unescaped = UnescapeControls(value);
    if (!unescaped) {
      std::fprintf(stderr, "%s: a backslash starts no escape (\\\\ \\n \\r \\t \\xNN) in the value\n", where.c_str());
      ok = false;
      continue;
    }
    ok = Apply(pages, where, TrimText(line.substr(0, equals)), *unescaped) && ok;
  }
  return ok;
}

int Edit(const GlobalOptions&, const std::vector<std::string>& args) {
  std::vector<std::string> files;
  std::vector<Source> sources;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--set" || a == "--from") {
      if (i + 1 >= args.size()) return UsageError(kEdit, a + " needs a value");
      sources.push_back({a == "--from", args[++i]});
    } else if (a.starts_with("--")) {
      return UsageError(kEdit, "unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) return UsageError(kEdit, files.size() < 2 ? "IN and OUT needed" : "too many arguments");
  for (const Source& s : sources)
    if (!s.from_file && s.text.find('=') == std::string::npos)
      return UsageError(kEdit, "--set " + s.text + ": NAME=VALUE needed");

  ConsoleDialogs dialogs;
  FileSystem& fs = SystemFileSystem();
  SettingsPages pages(dialogs);
  const int loaded = files[0] == "-" ? kExitOk : LoadPagesFromFile(pages, dialogs, fs, files[0]);
  if (loaded == kExitFailed) return kExitFailed;

  bool ok = true;
  for (const Source& s : sources) {
    if (s.from_file) {
      ok = ApplyFile(pages, fs, s.text) && ok;
    } else {
      const size_t equals = s.text.find('=');
      ok = Apply(pages, "--set " + s.text, TrimText(std::string_view(s.text).substr(0, equals)),
                 std::string_view(s.text).substr(equals + 1)) &&
           ok;
    }
  }
  if (!ok) {
    std::fprintf(stderr, "tamlocfg-cli edit: %s not written\n", files[1].c_str());
    return kExitFailed;
  }
  ConfigFiles out(pages.Set(), dialogs, fs);
  if (!out.SaveConfigFile(files[1])) return kExitFailed;
  return loaded;
}

TAMLO_CLI_COMMAND(kEdit);

}  // namespace
}  // namespace tamlo::cli
