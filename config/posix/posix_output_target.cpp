// The POSIX side of output targets: stat() tells a regular file from a node
// that must be written in place.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "config/posix/output_target.h"

namespace tamlo {
namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Names that stand for an already open descriptor of this process.
bool IsDescriptorName(const std::string& path) {
  return path == "/dev/stdout" || path == "/dev/stderr" || StartsWith(path, "/dev/fd/") ||
         StartsWith(path, "/proc/self/fd/");
}

class DirectOutputFile final : public ReplacementFile {
 public:
  explicit DirectOutputFile(int fd) : m_fd(fd) {}
  ~DirectOutputFile() override { Discard(); }
  DirectOutputFile(const DirectOutputFile&) = delete;
  DirectOutputFile& operator=(const DirectOutputFile&) = delete;

  size_t Write(const uint8_t* data, size_t size) override {
    if (m_fd < 0) return 0;
    const size_t done = WriteAllOrTell(m_fd, data, size, m_problem);
    if (done < size) m_failed = true;
    return done;
  }

  std::string Commit() override {
    if (m_fd < 0) return std::strerror(EBADF);
    const int error = ::close(m_fd) == 0 ? 0 : errno;
    m_fd = -1;
    if (m_failed) return m_problem.empty() ? std::strerror(EIO) : m_problem;
    return error != 0 ? std::strerror(error) : std::string();
  }

  std::string Problem() const override { return m_problem; }

  void Discard() override {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
  }

 private:
  int m_fd;
  bool m_failed = false;
  std::string m_problem;  // why a write fell short, or ""
};

}  // namespace

size_t WriteAll(int fd, const uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t WriteAllOrTell(int fd, const uint8_t* data, size_t size, std::string& problem) {
  errno = 0;
  const size_t done = WriteAll(fd, data, size);
  if (done < size) problem = std::strerror(errno != 0 ? errno : EIO);
  return done;
}

FileProblem FileProblemOf(int error) { return {std::strerror(error), error == ENOENT}; }

bool IsDirectOutput(const std::string& path) {
  if (IsDescriptorName(path)) return true;
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

std::string OutputTargetProblem(const std::string& path) {
  if (path.empty()) return std::strerror(ENOENT);
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return std::strerror(EISDIR);
    return ::access(path.c_str(), W_OK) == 0 ? std::string() : std::strerror(errno);
  }
  if (errno != ENOENT) return std::strerror(errno);
  // A new file: its folder must exist and take new entries.
  std::string folder = std::filesystem::path(path).parent_path().string();
  if (folder.empty()) folder = ".";
  if (::stat(folder.c_str(), &st) != 0) return std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return std::strerror(ENOTDIR);
  return ::access(folder.c_str(), W_OK | X_OK) == 0 ? std::string() : std::strerror(errno);
}

std::unique_ptr<ReplacementFile> OpenDirectOutput(const std::string& path, FileProblem& problem) {
  // Appending keeps what the shell or an earlier write put into a redirected
  // standard output; devices and FIFOs have no position to keep.
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    problem = FileProblemOf(errno);
    return nullptr;
  }
  return std::make_unique<DirectOutputFile>(fd);
}

}  // namespace tamlo
