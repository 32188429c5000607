// The POSIX file seam against files that are not regular files: device nodes
// and FIFOs written in place instead of replaced, pipes read to their end,
// FIFOs opened without waiting for a writer, size limits, and the temporary
// files that a signal handler removes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "config/config_files.h"
#include "config/posix/output_target.h"
#include "config/system_file_system.h"
#include "config/whole_input.h"
#include "support/temp_dir.h"

extern char** environ;

namespace tamlo {
namespace {

namespace fs = std::filesystem;
using testing::EntriesIn;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

std::string Image(uint32_t length, const std::string& data) {
  ConfigImageHeader h = ConfigImageHeader::For(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  h.length = h.length2 = length;
  const auto bytes = h.Serialize();
  return std::string(bytes.begin(), bytes.end()) + data;
}

// Reads a FIFO from the side, for at most five seconds: it opens without
// waiting, so a writer that opens the FIFO never blocks on a missing reader.
class FifoReader {
 public:
  explicit FifoReader(const fs::path& fifo) : m_fd(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK)) {
    m_thread = std::thread([this] {
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      bool writer_seen = false;
      while (m_fd >= 0 && std::chrono::steady_clock::now() < until) {
        pollfd p{m_fd, POLLIN, 0};
        ::poll(&p, 1, 20);
        char buffer[256];
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
          m_got.append(buffer, static_cast<size_t>(n));
          writer_seen = true;
        }
        if (n == 0 && writer_seen) break;  // the writer closed
      }
    });
  }
  ~FifoReader() { Join(); }
  const std::string& Join() {
    if (m_thread.joinable()) m_thread.join();
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    return m_got;
  }

 private:
  int m_fd;
  std::string m_got;
  std::thread m_thread;
};

TEST(OutputTargets, FifoOrLinkToOneOrDeviceNode_WrittenInPlaceNeverReplaced) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  fs::create_symlink(dir / "fifo", dir / "to-fifo");
  for (const fs::path& target : {dir / "fifo", dir / "to-fifo", fs::path("/dev/null")}) {
    SCOPED_TRACE(target);
    const bool fifo = target != "/dev/null";
    std::unique_ptr<FifoReader> reader;
    if (fifo) reader = std::make_unique<FifoReader>(dir / "fifo");
    EXPECT_TRUE(IsDirectOutput(target));
    FileProblem problem;
    std::unique_ptr<ReplacementFile> out = SystemFileSystem().CreateReplacement(target, problem);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->Write(reinterpret_cast<const uint8_t*>("journal"), 7), 7u);
    EXPECT_EQ(out->Commit(), "");
    if (fifo) {
      EXPECT_EQ(reader->Join(), "journal");
    }
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    EXPECT_TRUE(fs::is_symlink(dir / "to-fifo"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(EntriesIn(dir.path()), 2u);  // no temporary file left beside them
  }
  // The names of standard output are written in place whatever they lead to.
  for (const char* name : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) EXPECT_TRUE(IsDirectOutput(name)) << name;
  WriteFileBytes(dir / "plain", "x");
  EXPECT_FALSE(IsDirectOutput((dir / "plain").string()));
  EXPECT_FALSE(IsDirectOutput((dir / "new").string()));
}

TEST(OutputTargets, ProblemNamedBeforeAnythingIsWritten) {
  TempDir dir;
  WriteFileBytes(dir / "file", "x");
  fs::create_directory(dir / "folder");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  struct Case {
    fs::path path;
    std::string problem;
  } cases[] = {
      {dir / "new.tamlo", ""},
      {dir / "file", ""},
      {dir / "fifo", ""},
      {"/dev/null", ""},
      {dir / "no-such-folder" / "j.txt", "No such file or directory"},
      {dir / "folder", "Is a directory"},
      {dir / "file" / "j.txt", "Not a directory"},
  };
  for (const Case& c : cases) EXPECT_EQ(OutputTargetProblem(c.path.string()), c.problem) << c.path;
  EXPECT_EQ(EntriesIn(dir.path()), 3u);
}

// A save interrupted by SIGINT or SIGTERM in another process: the signal
// ends it as it would have, but its temporary file goes first. The child
// says when its temporary file exists; no waiting on the clock.
TEST(TemporaryFiles, SigintOrSigtermDuringASave_RemovesTheTemporaryFile) {
  for (const int signal_number : {0, SIGINT, SIGTERM}) {  // 0: the control case, stdin closed
    SCOPED_TRACE(signal_number);
    TempDir dir;
    WriteFileBytes(dir / "a.tamlo", "previous");
    int to_child[2], from_child[2];
    ASSERT_EQ(::pipe(to_child), 0);
    ASSERT_EQ(::pipe(from_child), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
    posix_spawn_file_actions_adddup2(&actions, from_child[1], 1);
    posix_spawn_file_actions_addclose(&actions, to_child[1]);
    posix_spawn_file_actions_addclose(&actions, from_child[0]);
    std::string target = (dir / "a.tamlo").string();
    char program[] = TEMPORARY_CLEANUP_CHILD;
    char* argv[] = {program, target.data(), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(to_child[0]);
    ::close(from_child[1]);
    ASSERT_EQ(spawned, 0);
    ASSERT_GT(pid, 0);
    char said[8] = {};
    EXPECT_EQ(::read(from_child[0], said, sizeof said), 8);
    EXPECT_EQ(EntriesIn(dir.path()), 2u);  // the target and the pending temporary file
    if (signal_number != 0) ::kill(pid, signal_number);
    ::close(to_child[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ::close(from_child[0]);
    if (signal_number == 0) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
      EXPECT_EQ(ReadFileBytes(dir / "a.tamlo"), "new");
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << status;
      EXPECT_EQ(ReadFileBytes(dir / "a.tamlo"), "previous");
    }
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
  }
}

// Runs `read` while a watchdog stands by to open `fifo` for writing after
// five seconds, which ends a read blocked on it; true when the watchdog had
// to step in.
template <typename Read>
bool BlockedOnFifo(const fs::path& fifo, Read read) {
  std::atomic<bool> finished{false}, rescued{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 500 && !finished; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (finished) return;
    rescued = true;
    const int fd = ::open(fifo.c_str(), O_WRONLY);
    if (fd >= 0) ::close(fd);
  });
  read();
  finished = true;
  watchdog.join();
  return rescued;
}

// A pipe as the shell hands it over: "<(cat file)" is /dev/fd/N.
class PipeInput {
 public:
  explicit PipeInput(std::string bytes) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    m_read = fds[0];
    m_writer = std::thread([fd = fds[1], bytes = std::move(bytes)] {
      for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
      }
      ::close(fd);
    });
  }
  ~PipeInput() {
    if (m_read >= 0) ::close(m_read);
    if (m_writer.joinable()) m_writer.join();
  }
  std::string path() const { return "/dev/fd/" + std::to_string(m_read); }

 private:
  int m_read = -1;
  std::thread m_writer;
};

std::string LoadMessage(const std::string& path) {
  try {
    ReadConfigImageFile(SystemFileSystem(), path);
    return "";
  } catch (const ConfigLoadError& e) {
    return e.what();
  }
}

TEST(InputKinds, ConfigFromPipeFifoFolderOrDevice) {
  TempDir dir;
  const std::string data = "\x90\x20\x05";
  {
    PipeInput pipe(Image(3, data) + "tail");
    const ConfigImageFile image = ReadConfigImageFile(SystemFileSystem(), pipe.path());
    EXPECT_EQ(std::string(image.data.begin(), image.data.end()), data);
  }
  {
    PipeInput pipe(Image(3, data).substr(0, 34));
    EXPECT_EQ(LoadMessage(pipe.path()), "Некорректный заголовок файла. Возможно, файл поврежден.");
  }
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::string message;
  EXPECT_FALSE(BlockedOnFifo(dir / "fifo", [&] { message = LoadMessage((dir / "fifo").string()); }));
  EXPECT_EQ(message, "Ошибка чтения файла");  // no writer: nothing to read
  EXPECT_EQ(LoadMessage("/dev/null"), "Ошибка чтения файла");
  EXPECT_EQ(LoadMessage(dir.path().string()), "Невозможно открыть файл \"" + dir.path().string() + "\"");
}

TEST(InputKinds, ConfigDataAboveOneMebibyte_RefusedNamingTheLimit) {
  TempDir dir;
  const std::string at_limit(kMaxConfigDataLength, '\0');
  WriteFileBytes(dir / "limit.tamlo", Image(kMaxConfigDataLength, at_limit));
  EXPECT_EQ(ReadConfigImageFile(SystemFileSystem(), (dir / "limit.tamlo").string()).data.size(),
            kMaxConfigDataLength);
  const std::string refused = "Файл слишком велик: данные конфигурации больше 1 МБ. Возможно, файл поврежден.";
  WriteFileBytes(dir / "above.tamlo", Image(kMaxConfigDataLength + 1, at_limit + '\0'));
  EXPECT_EQ(LoadMessage((dir / "above.tamlo").string()), refused);
  // A pipe has no size to check the header against: the limit alone stops a
  // header that claims 4 GiB.
  PipeInput pipe(Image(0xFFFFFFFF, "\x90\x20\x05"));
  EXPECT_EQ(LoadMessage(pipe.path()), refused);
}

TEST(WholeInput, RegularPipeDeviceFolder_ReadWholeOrRefused) {
  TempDir dir;
  WriteFileBytes(dir / "ten", "0123456789");
  fs::create_directory(dir / "folder");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  PipeInput pipe(std::string(300 * 1024, 'p'));
  struct Case {
    std::string path;
    size_t limit;
    WholeInput result;
    size_t size;
  } cases[] = {
      {(dir / "ten").string(), 10, WholeInput::kOk, 10},
      {(dir / "ten").string(), 9, WholeInput::kTooLarge, 0},
      {pipe.path(), 1024 * 1024, WholeInput::kOk, 300 * 1024},
      {"/dev/zero", 1024 * 1024, WholeInput::kTooLarge, 0},
      {"/dev/null", 10, WholeInput::kOk, 0},
      {(dir / "fifo").string(), 10, WholeInput::kOk, 0},
      {(dir / "folder").string(), 10, WholeInput::kCannotOpen, 0},
      {(dir / "missing").string(), 10, WholeInput::kCannotOpen, 0},
      // A regular file whose read fails, even for root: this process's
      // memory at address 0.
      {"/proc/self/mem", 10, WholeInput::kReadFailed, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string bytes = "stale";
    WholeInput result = WholeInput::kOk;
    FileProblem problem;
    EXPECT_FALSE(BlockedOnFifo(dir / "fifo",
                               [&] { result = ReadWholeInput(SystemFileSystem(), c.path, c.limit, bytes, problem); }));
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(bytes.size(), c.size);
    // A reason exactly when the input could not be opened or read, as the system words it.
    EXPECT_EQ(problem.text.empty(), result == WholeInput::kOk || result == WholeInput::kTooLarge) << problem.text;
    EXPECT_EQ(problem.missing, c.path.ends_with("missing"));
  }
}

}  // namespace
}  // namespace tamlo
