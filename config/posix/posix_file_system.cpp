// The POSIX side of the file seam: open/read/write/fsync/rename.
// Replacements are written to a temporary file in the target's folder,
// fsync'ed and renamed over the target; an existing target's permissions are
// kept and a symbolic link is replaced at the file it points to.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "config/posix/output_target.h"
#include "config/system_file_system.h"
#include "config/temporary_file_list.h"

namespace tamlo {
namespace {

class PosixInputFile final : public InputFile {
 public:
  PosixInputFile(int fd, uint64_t size) : m_fd(fd), m_size(size) {}
  ~PosixInputFile() override { ::close(m_fd); }
  PosixInputFile(const PosixInputFile&) = delete;
  PosixInputFile& operator=(const PosixInputFile&) = delete;

  size_t Read(uint8_t* buffer, size_t size) override {
    size_t done = 0;
    while (done < size) {
      const ssize_t n = ::read(m_fd, buffer + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) m_problem = std::strerror(errno);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }
  uint64_t Size() const override { return m_size; }
  std::string Problem() const override { return m_problem; }

 private:
  int m_fd;
  uint64_t m_size;
  std::string m_problem;  // why a read failed, or ""
};

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Makes the rename itself durable; a folder that cannot be synced is no
// reason to call the save failed.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

class PosixReplacementFile final : public ReplacementFile {
 public:
  PosixReplacementFile(int fd, std::string temp, std::string target)
      : m_fd(fd), m_temp(std::move(temp)), m_target(std::move(target)) {
    m_listed = ListTemporaryFile(m_temp.c_str());
  }
  ~PosixReplacementFile() override { Discard(); }
  PosixReplacementFile(const PosixReplacementFile&) = delete;
  PosixReplacementFile& operator=(const PosixReplacementFile&) = delete;

  size_t Write(const uint8_t* data, size_t size) override {
    return m_fd < 0 ? 0 : WriteAllOrTell(m_fd, data, size, m_problem);
  }

  std::string Commit() override {
    if (m_fd < 0) return std::strerror(EBADF);
    // A file system that cannot sync at all (EINVAL) still has the bytes.
    int error = ::fsync(m_fd) == 0 || errno == EINVAL ? 0 : errno;
    if (::close(m_fd) != 0 && error == 0) error = errno;
    m_fd = -1;
    if (error == 0 && ::rename(m_temp.c_str(), m_target.c_str()) != 0) error = errno;
    if (error != 0) {
      ::unlink(m_temp.c_str());
      m_temp.clear();
      Unlist();
      return std::strerror(error);
    }
    m_temp.clear();
    Unlist();
    SyncFolder(FolderOf(m_target));
    return {};
  }

  std::string Problem() const override { return m_problem; }

  void Discard() override {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
    m_temp.clear();
    Unlist();
  }

 private:
  void Unlist() {
    ForgetTemporaryFile(m_listed);
    m_listed = -1;
  }

  int m_fd;
  std::string m_temp;  // empty once renamed or removed
  std::string m_target;
  int m_listed = -1;  // slot in the list a signal handler cleans up, or -1
  std::string m_problem;  // why a write fell short, or ""
};

class Posix final : public FileSystem {
 public:
  std::unique_ptr<InputFile> OpenRead(const std::string& path, FileProblem& problem) override {
    // Non-blocking only for the open itself, which would otherwise wait for a
    // FIFO's writer; reads block as usual.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
      problem = FileProblemOf(errno);
      return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
      problem = FileProblemOf(S_ISDIR(st.st_mode) ? EISDIR : errno);
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixInputFile>(fd, S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size)
                                                                     : kUnknownInputSize);
  }

  std::string OutputProblem(const std::string& target) override { return OutputTargetProblem(target); }

  std::string MakeFolders(const std::string& folder) override {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return ec ? ec.message() : std::string();
  }

  std::vector<std::string> RegularFileNames(const std::string& folder) override {
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
      std::error_code type_ec;
      if (it->is_regular_file(type_ec)) names.push_back(it->path().filename().string());
    }
    return names;
  }

  std::unique_ptr<ReplacementFile> CreateReplacement(const std::string& link_or_target,
                                                     FileProblem& problem) override {
    if (IsDirectOutput(link_or_target)) return OpenDirectOutput(link_or_target, problem);
    // Saving through a symbolic link replaces the file it points to and keeps
    // the link.
    std::string target = link_or_target;
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      char* resolved = ::realpath(target.c_str(), nullptr);
      if (resolved) {
        target = resolved;
        std::free(resolved);
      }
    }
    mode_t mode = 0666;  // narrowed by the umask, as for any new file
    const bool existing = ::stat(target.c_str(), &st) == 0;
    if (existing) {
      // Replacing a file the user may not write would sidestep its
      // protection. A file nobody may write is read-only for root as well,
      // who passes every access() check.
      if (S_ISDIR(st.st_mode)) {
        problem = FileProblemOf(EISDIR);
        return nullptr;
      }
      if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
        problem = FileProblemOf((st.st_mode & 0222) == 0 ? EACCES : errno);
        return nullptr;
      }
      mode = st.st_mode & 07777;
    }
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
      const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
      if (fd >= 0) {
        if (existing) ::fchmod(fd, mode);  // the umask does not narrow an existing file's permissions
        return std::make_unique<PosixReplacementFile>(fd, temp, target);
      }
      if (errno != EEXIST) break;
    }
    problem = FileProblemOf(errno);
    return nullptr;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Posix fs;
  return fs;
}

}  // namespace tamlo
