#include "device/posix/posix_history_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "tamlo_version.h"

namespace tamlo::device {
namespace {

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

class PosixHistory final : public HistoryFolder {
 public:
  bool MakeFolders(const std::string& path) override {
    // Each prefix ending before a '/', then the whole path; the folders are
    // the user's own (0700): old configurations hold passwords.
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
      ::mkdir(path.substr(0, slash).c_str(), 0700);
    ::mkdir(path.c_str(), 0700);
    return IsFolder(path);
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
    if (fd < 0) return errno == EEXIST ? NewFile::NameTaken : NewFile::Failed;
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    const bool ok = done == bytes.size() && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok) {
      ::unlink(path.c_str());
      return NewFile::Failed;
    }
    return NewFile::Written;
  }

  bool RemoveFile(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

  UtcDateTime UtcNow() override {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec};
  }
};

}  // namespace

HistoryFolder& PosixHistoryFolder() {
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

std::optional<std::string> UserHistoryRoot() {
  return DefaultHistoryRoot(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

}  // namespace tamlo::device
