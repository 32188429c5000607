#pragma once
// The main window's file commands: open, save, save as, with their dialogs and
// messages, and the current file name. The GUI binds the commands to its
// labels and shortcuts; tests script the dialogs.
//
// CurrentFileName: empty at start; set by a confirmed open or save dialog;
// emptied when an open fails or the file loads with a message (so the next
// save asks for a name); a failed save leaves it as it was.
//
// Saving never destroys the previous file: the image goes to a temporary file
// beside the target, is flushed, and only then replaces it.
#include <cstdint>
#include <string>
#include <vector>

#include "config/config_image.h"
#include "config/config_page.h"
#include "config/file_system.h"
#include "config/user_interface.h"

namespace tamlo {

inline constexpr const char* kConfigFileFilter = "Файлы конфигурации (*.tamlo)|*.tamlo|Все файлы (*.*)|*";
inline constexpr const char* kConfigFileExtension = "tamlo";
inline constexpr const char* kLoadErrorCaption = "Ошибка при загрузке конфигурации";
inline constexpr const char* kSaveErrorCaption = "Ошибка при записи конфигурации";

// The most data a configuration file may announce: a device stores far less,
// and a header claiming more is damaged or crafted. Refused before anything
// is allocated for it.
inline constexpr uint32_t kMaxConfigDataLength = 1024 * 1024;

// One configuration image read from a file, not yet decoded.
struct ConfigImageFile {
  ConfigImageHeader header;
  std::vector<uint8_t> data;  // the bytes after the header that the lengths cover
};

// Reads and checks an image file; throws ConfigLoadError with the message for
// the user: cannot open, read error (also a file below 32 bytes), not a Tamlo
// configuration (magic), incorrect header (a length beyond the file), data
// longer than kMaxConfigDataLength, not enough memory. Trailing bytes past
// both lengths are not kept. An input without a size (a pipe) is read up to
// the length its header announces.
ConfigImageFile ReadConfigImageFile(FileSystem& fs, const std::string& name);

class ConfigFiles {
 public:
  ConfigFiles(PageSet& pages, UserDialogs& dialogs, FileSystem& fs)
      : m_pages(pages), m_dialogs(dialogs), m_fs(fs) {}

  const std::string& CurrentFileName() const { return m_current; }
  void SetCurrentFileName(std::string name) { m_current = std::move(name); }

  // The open or save dialog (save asks before overwriting), starting with the
  // current name. true: the user chose, CurrentFileName is the choice.
  bool PromptConfigFileName(bool save);

  // L_OpenClick. true when a file was loaded without any message; a message
  // is shown in a box ("Ошибка при загрузке конфигурации") and the current
  // name emptied. Cancelling changes nothing.
  bool OpenConfigFile();

  // Open without the dialog, as if `name` had been chosen in it (a file
  // named on the command line): CurrentFileName becomes `name`, then the
  // same loading and messages as OpenConfigFile.
  bool OpenNamedConfigFile(const std::string& name);

  // Builds the image from the pages and writes it to `name`. true on success
  // (nothing shown); on failure a box with "Ошибка при записи конфигурации"
  // and the previous file untouched.
  bool SaveConfigFile(const std::string& name);

  // L_SaveClick: the current file, or save as when there is none.
  bool Save();
  // L_Save_asClick: the save dialog, then SaveConfigFile. false when cancelled
  // or failed (a failed save keeps the new name).
  bool SaveAs();

 private:
  PageSet& m_pages;
  UserDialogs& m_dialogs;
  FileSystem& m_fs;
  std::string m_current;
};

}  // namespace tamlo
