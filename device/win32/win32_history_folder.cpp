// The history folder seam of device/config_history.h on Windows:
// CreateDirectoryW, FindFirstFileW, CreateFileW with CREATE_NEW (a name that
// exists is never written through), FlushFileBuffers, DeleteFileW,
// GetSystemTime. A file that cannot be written whole is removed. The folders
// inherit the roaming application data folder's access list, which is the
// user's own: old configurations hold passwords.
#include <windows.h>
#include <shlobj.h>

#include "config/win32/folders.h"
#include "config/win32/output_target.h"
#include "config/win32/wide_text.h"
#include "device/system_history_folder.h"
#include "tamlo_version.h"

namespace tamlo::device {
namespace {

class Win32History final : public HistoryFolder {
 public:
  bool MakeFolders(const std::string& path) override {
    const uint32_t error = MakeFolderChain(path);
    if (error == 0) return true;
    m_error = SystemErrorText(error);
    return false;
  }

  std::vector<std::string> ListNames(const std::string& folder) override {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry{};
    const HANDLE find = ::FindFirstFileW(WideOf(folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      const std::string name = Utf8Of(entry.cFileName);
      if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return names;
  }

  NewFile WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
    const std::wstring wide = WideOf(path);
    const HANDLE file =
        ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return NewFile::NameTaken;
      m_error = SystemErrorText(error);
      return NewFile::Failed;
    }
    DWORD error = 0;
    if (WriteAll(file, bytes.data(), bytes.size()) != bytes.size()) error = ::GetLastError();
    if (error == 0 && !::FlushFileBuffers(file)) error = ::GetLastError();
    if (!::CloseHandle(file) && error == 0) error = ::GetLastError();
    if (error != 0) {
      // A backup is whole or not there at all.
      ::DeleteFileW(wide.c_str());
      m_error = SystemErrorText(error);
      return NewFile::Failed;
    }
    return NewFile::Written;
  }

  bool RemoveFile(const std::string& path) override { return ::DeleteFileW(WideOf(path).c_str()) != 0; }

  std::string LastError() const override { return m_error; }
  char Separator() const override { return '\\'; }

  UtcDateTime UtcNow() override {
    SYSTEMTIME utc{};
    ::GetSystemTime(&utc);
    return {utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond};
  }

 private:
  std::string m_error;
};

}  // namespace

HistoryFolder& SystemHistoryFolder() {
  static Win32History instance;
  return instance;
}

std::string HistoryRootUnder(const std::string& user_data_folder) {
  return user_data_folder + "\\" + kOrganizationName + "\\" + kApplicationTitle + "\\" + kHistoryFolderName;
}

const char* const kNoUserHistoryRoot = "the system names no roaming application data folder, %APPDATA%";

std::optional<std::string> UserSettingsFolder() {
  wchar_t* folder = nullptr;
  const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder);
  const std::string path = SUCCEEDED(result) ? Utf8Of(folder) : std::string();
  ::CoTaskMemFree(folder);
  if (path.empty()) return std::nullopt;
  return path;
}

std::optional<std::string> UserHistoryRoot() {
  const std::optional<std::string> folder = UserSettingsFolder();
  if (!folder) return std::nullopt;
  return HistoryRootUnder(*folder);
}

}  // namespace tamlo::device
