// The Windows side of output targets: the name tells a device from a file.
#include <windows.h>

#include <cctype>

#include "config/win32/output_target.h"
#include "config/win32/wide_text.h"

namespace tamlo {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// "nul", "C:\work\NUL.txt", "con " and "COM3" name devices wherever they stand.
bool IsReservedDeviceName(const std::string& path) {
  size_t start = path.size();
  while (start > 0 && !IsSeparator(path[start - 1]) && path[start - 1] != ':') --start;
  std::string name = Upper(path.substr(start));
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  if (name == "NUL" || name == "CON" || name == "PRN" || name == "AUX" || name == "CONIN$" || name == "CONOUT$")
    return true;
  return name.size() == 4 && (name.rfind("COM", 0) == 0 || name.rfind("LPT", 0) == 0) && name[3] >= '1' &&
         name[3] <= '9';
}

std::string FolderOf(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1]) && path[end - 1] != ':') --end;
  if (end == 0) return ".";
  if (path[end - 1] == ':') return path.substr(0, end) + ".";  // "C:name" is in C:'s current folder
  const std::string folder = path.substr(0, end - 1);
  return folder.empty() || folder.back() == ':' ? folder + "\\" : folder;
}

class DirectOutputFile final : public ReplacementFile {
 public:
  explicit DirectOutputFile(HANDLE handle) : m_handle(handle) {}
  ~DirectOutputFile() override { Discard(); }
  DirectOutputFile(const DirectOutputFile&) = delete;
  DirectOutputFile& operator=(const DirectOutputFile&) = delete;

  size_t Write(const uint8_t* data, size_t size) override {
    if (m_handle == INVALID_HANDLE_VALUE) return 0;
    const size_t done = WriteAll(m_handle, data, size);
    if (done < size && m_problem.empty()) m_problem = SystemErrorText(::GetLastError());
    return done;
  }

  std::string Commit() override {
    if (m_handle == INVALID_HANDLE_VALUE) return SystemErrorText(ERROR_INVALID_HANDLE);
    if (!::CloseHandle(m_handle) && m_problem.empty()) m_problem = SystemErrorText(::GetLastError());
    m_handle = INVALID_HANDLE_VALUE;
    return m_problem;
  }

  std::string Problem() const override { return m_problem; }

  void Discard() override {
    if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE m_handle;
  std::string m_problem;  // the first failure's reason
};

}  // namespace

size_t WriteAll(void* handle, const uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const size_t left = size - done;
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD n = 0;
    if (!::WriteFile(static_cast<HANDLE>(handle), data + done, chunk, &n, nullptr)) break;
    if (n == 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      break;
    }
    done += n;
  }
  return done;
}

bool IsDirectOutput(const std::string& path) {
  return path.rfind("\\\\.\\", 0) == 0 || path.rfind("//./", 0) == 0 || IsReservedDeviceName(path);
}

std::string OutputTargetProblem(const std::string& path) {
  if (path.empty()) return SystemErrorText(ERROR_PATH_NOT_FOUND);
  if (IsDirectOutput(path)) return {};
  const DWORD attributes = ::GetFileAttributesW(WideOf(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // A folder, or a file marked read-only: CreateFileW would refuse it.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return SystemErrorText(ERROR_ACCESS_DENIED);
    return {};
  }
  const DWORD error = ::GetLastError();
  if (error != ERROR_FILE_NOT_FOUND) return SystemErrorText(error);
  // A new file: its folder must exist.
  const DWORD folder = ::GetFileAttributesW(WideOf(FolderOf(path)).c_str());
  if (folder == INVALID_FILE_ATTRIBUTES) return SystemErrorText(::GetLastError());
  if (!(folder & FILE_ATTRIBUTE_DIRECTORY)) return SystemErrorText(ERROR_DIRECTORY);
  return {};
}

FileProblem FileProblemOf(uint32_t error) {
  return {SystemErrorText(error), error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND};
}

std::unique_ptr<ReplacementFile> OpenDirectOutput(const std::string& path, FileProblem& problem) {
  const HANDLE handle = ::CreateFileW(WideOf(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    problem = FileProblemOf(::GetLastError());
    return nullptr;
  }
  return std::make_unique<DirectOutputFile>(handle);
}

}  // namespace tamlo
