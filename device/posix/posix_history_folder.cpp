#include "device/posix/posix_history_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <ctime>

#include "config/posix/output_target.h"
#include "tamlo_version.h"

namespace tamlo::device {
namespace {

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// While it lives a write beyond the file size limit (ulimit -f) fails with
// EFBIG instead of ending the process with SIGXFSZ, which would leave the
// new file behind empty.
class FileSizeSignalIgnored {
 public:
  FileSizeSignalIgnored() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &m_previous);
  }
  ~FileSizeSignalIgnored() { ::sigaction(SIGXFSZ, &m_previous, nullptr); }
  FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
  FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;

 private:
  struct sigaction m_previous {};
};

class PosixHistory final : public HistoryFolder {
 public:
  bool MakeFolders(const std::string& path) override {
    // Each prefix ending before a '/', then the whole path; the folders are
    // the user's own (0700): old configurations hold passwords. The first
    // refusal other than "exists" is the reason a folder is missing.
    int first_error = 0;
    auto make = [&](const std::string& folder) {
      if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST && first_error == 0) first_error = errno;
    };
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
      make(path.substr(0, slash));
    make(path);
    if (IsFolder(path)) return true;
    m_error = std::strerror(first_error != 0 ? first_error : ENOTDIR);
    return false;
  }

  std::vector<std::string> ListNames(const std::string& folder) override {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
  }

  NewFile WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
      if (errno == EEXIST) return NewFile::NameTaken;
      m_error = std::strerror(errno);
      return NewFile::Failed;
    }
    int error = 0;
    {
      const FileSizeSignalIgnored guard;
      errno = 0;
      if (WriteAll(fd, bytes.data(), bytes.size()) != bytes.size()) error = errno != 0 ? errno : EIO;
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
      // A backup is whole or not there at all.
      ::unlink(path.c_str());
      m_error = std::strerror(error);
      return NewFile::Failed;
    }
    return NewFile::Written;
  }

  bool RemoveFile(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

  std::string LastError() const override { return m_error; }

  UtcDateTime UtcNow() override {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec};
  }

 private:
  std::string m_error;
};

}  // namespace

HistoryFolder& SystemHistoryFolder() {
  static PosixHistory instance;
  return instance;
}

std::string HistoryRootUnder(const std::string& user_data_folder) {
  return user_data_folder + "/" + kOrganizationName + "/" + kApplicationTitle + "/" + kHistoryFolderName;
}

std::optional<std::string> DefaultHistoryRoot(const char* xdg_data_home, const char* home) {
  std::string base;
  // An XDG variable that is not an absolute path is to be ignored.
  if (xdg_data_home && xdg_data_home[0] == '/') {
    base = xdg_data_home;
  } else if (home && home[0] != '\0') {
    base = std::string(home) + "/.local/share";
  } else {
    return std::nullopt;
  }
  return HistoryRootUnder(base);
}

const char* const kNoUserHistoryRoot = "neither XDG_DATA_HOME nor HOME is set";

std::optional<std::string> UserHistoryRoot() {
  return DefaultHistoryRoot(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::optional<std::string> UserSettingsFolder() {
  const char* xdg_config_home = std::getenv("XDG_CONFIG_HOME");
  if (xdg_config_home && xdg_config_home[0] == '/') return xdg_config_home;
  const char* home = std::getenv("HOME");
  if (home && home[0] != '\0') return std::string(home) + "/.config";
  return std::nullopt;
}

}  // namespace tamlo::device
