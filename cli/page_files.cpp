#include "cli/page_files.h"

#include <cstdio>

#include "cli/cli_command.h"
#include "cli/console_dialogs.h"
#include "config/tagged_encoding.h"

namespace tamlo::cli {
namespace {

int LoadExitStatus(const ConfigLoadError& e) {
  switch (e.walk_result()) {
    case ConfigLoadError::kNotWalked: return kExitFailed;
    case kWalkUnrecognised: return kExitUnrecognisedData;
    default: return kExitMalformedData;
  }
}

}  // namespace

int LoadPagesFromFile(SettingsPages& pages, UserDialogs& dialogs, FileSystem& fs, const std::string& name) {
  ResetAllPages(pages.Set());
  try {
    const ConfigImageFile image = ReadConfigImageFile(fs, name);
    LoadConfigData(pages.Set(), image.data.data(), image.data.size(), image.header);
    return kExitOk;
  } catch (const ConfigLoadError& e) {
    dialogs.ShowMessage(e.what(), kLoadErrorCaption, MessageIcon::Error);
    return LoadExitStatus(e);
  }
}

int NotePageSettings(const ConfigImageFile& file, std::string& message) {
  ConsoleDialogs dialogs;
  SettingsPages pages(dialogs);
  int status = kExitOk;
  try {
    LoadConfigData(pages.Set(), file.data.data(), file.data.size(), file.header);
  } catch (const ConfigLoadError& e) {
    message = e.what();
    status = LoadExitStatus(e);
  }
  BuildConfigImage(pages.Set());
  return status;
}

std::optional<std::vector<uint8_t>> ImageToWrite(FileSystem& fs, const std::string& path, bool force, int& status) {
  ConfigImageFile file;
  try {
    file = ReadConfigImageFile(fs, path);
  } catch (const ConfigLoadError& e) {
    std::fprintf(stderr, "%s: %s\n", kLoadErrorCaption, e.what());
    status = kExitFailed;
    return std::nullopt;
  }
  std::string refusal;
  status = NotePageSettings(file, refusal);
  if (status != kExitOk && !(status == kExitUnrecognisedData && force)) {
    std::fprintf(stderr, "%s: %s\n%s", kLoadErrorCaption, refusal.c_str(),
                 status == kExitUnrecognisedData ? "tamlocfg-cli: nothing written; --force writes the file as it is\n"
                                                 : "");
    return std::nullopt;
  }
  const auto header = file.header.Serialize();
  std::vector<uint8_t> image(header.begin(), header.end());
  image.insert(image.end(), file.data.begin(), file.data.end());
  return image;
}

}  // namespace tamlo::cli
