#include "config/win32/folders.h"

#include <windows.h>

#include "config/win32/wide_text.h"

namespace tamlo {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Where the folders to create begin: after "C:\", "\\server\share\" or "\".
size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    size_t at = 2;
    for (int part = 0; part < 2 && at < path.size(); ++part) {
      while (at < path.size() && !IsSeparator(path[at])) ++at;
      if (at < path.size()) ++at;
    }
    return at;
  }
  return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

}  // namespace

uint32_t MakeFolderChain(const std::string& path) {
  DWORD first_error = 0;
  auto make = [&](const std::string& folder) {
    if (!::CreateDirectoryW(WideOf(folder).c_str(), nullptr)) {
      const DWORD error = ::GetLastError();
      if (error != ERROR_ALREADY_EXISTS && first_error == 0) first_error = error;
    }
  };
  for (size_t at = RootLength(path); at < path.size(); ++at) {
    if (IsSeparator(path[at]) && !IsSeparator(path[at - 1])) make(path.substr(0, at));
  }
  make(path);
  const DWORD attributes = ::GetFileAttributesW(WideOf(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
  return first_error != 0 ? first_error : ERROR_DIRECTORY;
}

}  // namespace tamlo
