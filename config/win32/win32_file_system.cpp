// The Windows side of the file seam: CreateFileW, ReadFile/WriteFile,
// FlushFileBuffers, MoveFileExW. Paths are UTF-8 in the program and become
// wide strings here, so Cyrillic names work whatever the ANSI code page is.
// A replacement is written to a temporary file created new (CREATE_NEW)
// beside the target, flushed to the disk and moved over the target with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH: until the move, the
// previous file stays exactly as it was. A target marked read-only is not
// replaced.
#include <windows.h>

#include <atomic>
#include <string>

#include "config/system_file_system.h"
#include "config/temporary_file_list.h"
#include "config/win32/folders.h"
#include "config/win32/output_target.h"
#include "config/win32/wide_text.h"

namespace tamlo {
namespace {

class Win32InputFile final : public InputFile {
 public:
  Win32InputFile(HANDLE handle, uint64_t size) : m_handle(handle), m_size(size) {}
  ~Win32InputFile() override { ::CloseHandle(m_handle); }
  Win32InputFile(const Win32InputFile&) = delete;
  Win32InputFile& operator=(const Win32InputFile&) = delete;

  size_t Read(uint8_t* buffer, size_t size) override {
    size_t done = 0;
    while (done < size) {
      const size_t left = size - done;
      const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
      DWORD n = 0;
      if (!::ReadFile(m_handle, buffer + done, chunk, &n, nullptr)) {
        // The writer of a pipe closing its end is the end of the input.
        const DWORD error = ::GetLastError();
        if (error != ERROR_BROKEN_PIPE && m_problem.empty()) m_problem = SystemErrorText(error);
        break;
      }
      if (n == 0) break;
      done += n;
    }
    return done;
  }
  uint64_t Size() const override { return m_size; }
  std::string Problem() const override { return m_problem; }

 private:
  HANDLE m_handle;
  uint64_t m_size;
  std::string m_problem;  // the first failed read's reason
};

class Win32ReplacementFile final : public ReplacementFile {
 public:
  Win32ReplacementFile(HANDLE handle, std::string temp, std::string target)
      : m_handle(handle), m_temp(std::move(temp)), m_target(std::move(target)) {
    m_listed = ListTemporaryFile(m_temp.c_str());
  }
  ~Win32ReplacementFile() override { Discard(); }
  Win32ReplacementFile(const Win32ReplacementFile&) = delete;
  Win32ReplacementFile& operator=(const Win32ReplacementFile&) = delete;

  size_t Write(const uint8_t* data, size_t size) override {
    if (m_handle == INVALID_HANDLE_VALUE) return 0;
    const size_t done = WriteAll(m_handle, data, size);
    if (done < size) m_problem = SystemErrorText(::GetLastError());
    return done;
  }

  std::string Problem() const override { return m_problem; }

  std::string Commit() override {
    if (m_handle == INVALID_HANDLE_VALUE) return SystemErrorText(ERROR_INVALID_HANDLE);
    DWORD error = 0;
    if (!::FlushFileBuffers(m_handle)) error = ::GetLastError();
    if (!::CloseHandle(m_handle) && error == 0) error = ::GetLastError();
    m_handle = INVALID_HANDLE_VALUE;
    if (error == 0 && !::MoveFileExW(WideOf(m_temp).c_str(), WideOf(m_target).c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      error = ::GetLastError();
    if (error != 0) ::DeleteFileW(WideOf(m_temp).c_str());
    m_temp.clear();
    Unlist();
    return error == 0 ? std::string() : SystemErrorText(error);
  }

  void Discard() override {
    if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    if (!m_temp.empty()) ::DeleteFileW(WideOf(m_temp).c_str());
    m_temp.clear();
    Unlist();
  }

 private:
  void Unlist() {
    ForgetTemporaryFile(m_listed);
    m_listed = -1;
  }

  HANDLE m_handle;
  std::string m_temp;  // empty once moved or removed
  std::string m_target;
  int m_listed = -1;  // slot in the list the Ctrl+C handler cleans up, or -1
  std::string m_problem;  // why a write fell short
};

template <typename T>
std::unique_ptr<T> Refused(DWORD error, FileProblem& problem) {
  problem = FileProblemOf(error);
  return nullptr;
}

class Win32 final : public FileSystem {
 public:
  std::unique_ptr<InputFile> OpenRead(const std::string& path, FileProblem& problem) override {
    const std::wstring wide = WideOf(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    // CreateFileW refuses a folder with "access denied", as it would.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return Refused<InputFile>(ERROR_ACCESS_DENIED, problem);
    const HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Refused<InputFile>(::GetLastError(), problem);
    uint64_t size = kUnknownInputSize;
    LARGE_INTEGER length{};
    if (::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileSizeEx(handle, &length))
      size = static_cast<uint64_t>(length.QuadPart);
    return std::make_unique<Win32InputFile>(handle, size);
  }

  std::string OutputProblem(const std::string& target) override { return OutputTargetProblem(target); }

  std::string MakeFolders(const std::string& folder) override {
    const DWORD error = MakeFolderChain(folder);
    return error == 0 ? std::string() : SystemErrorText(error);
  }

  std::vector<std::string> RegularFileNames(const std::string& folder) override {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry{};
    const HANDLE find = ::FindFirstFileW(WideOf(folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        names.push_back(Utf8Of(entry.cFileName));
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return names;
  }

  std::unique_ptr<ReplacementFile> CreateReplacement(const std::string& target, FileProblem& problem) override {
    if (IsDirectOutput(target)) return OpenDirectOutput(target, problem);
    const DWORD attributes = ::GetFileAttributesW(WideOf(target).c_str());
    // Replacing a file marked read-only would sidestep its protection.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
      return Refused<ReplacementFile>(ERROR_ACCESS_DENIED, problem);
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string temp =
          target + ".tmp" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++);
      // Shared for deletion only: the Ctrl+C handler may remove it mid-write.
      const HANDLE handle = ::CreateFileW(WideOf(temp).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE) return std::make_unique<Win32ReplacementFile>(handle, temp, target);
      const DWORD error = ::GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return Refused<ReplacementFile>(error, problem);
    }
    return Refused<ReplacementFile>(ERROR_FILE_EXISTS, problem);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32 fs;
  return fs;
}

}  // namespace tamlo
