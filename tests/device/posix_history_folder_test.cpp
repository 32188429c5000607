// The history folder on the real file system: exclusive creation, nested
// folders, listing, removal, the root under the user's data folder.
#include "device/posix/posix_history_folder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "support/temp_dir.h"
#include "tamlo_version.h"

namespace tamlo::device {
namespace {

using tamlo::testing::ReadFileBytes;
using tamlo::testing::TempDir;
using tamlo::testing::WriteFileBytes;

TEST(PosixHistoryFolder, KeepsFilesOwnerOnly_NeverWritesThroughAnExistingName) {
  TempDir temp;
  HistoryFolder& folder = SystemHistoryFolder();
  const std::string dir = (temp / "a/b/port-COM3").string();
  ASSERT_TRUE(folder.MakeFolders(dir));
  ASSERT_TRUE(folder.MakeFolders(dir));  // already there

  const std::string file = dir + "/2026-12-08_17-48-02_001_read.tamlo";
  EXPECT_EQ(folder.WriteNewFile(file, {'T', 'A'}), HistoryFolder::NewFile::Written);
  EXPECT_EQ(folder.WriteNewFile(file, {'X'}), HistoryFolder::NewFile::NameTaken);
  EXPECT_EQ(ReadFileBytes(file), "TA");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // A link planted under the next name is not followed.
  WriteFileBytes(temp / "victim", "keep");
  const std::string planted = dir + "/2026-12-08_17-48-02_002_read.tamlo";
  ASSERT_EQ(::symlink((temp / "victim").c_str(), planted.c_str()), 0);
  EXPECT_EQ(folder.WriteNewFile(planted, {'X'}), HistoryFolder::NewFile::NameTaken);
  EXPECT_EQ(ReadFileBytes(temp / "victim"), "keep");

  std::vector<std::string> names = folder.ListNames(dir);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"2026-12-08_17-48-02_001_read.tamlo",
                                             "2026-12-08_17-48-02_002_read.tamlo"}));
  EXPECT_TRUE(folder.RemoveFile(file));
  EXPECT_EQ(folder.ListNames(dir).size(), 1u);
  EXPECT_TRUE(folder.ListNames((temp / "missing").string()).empty());
  // A file where a folder should be.
  EXPECT_FALSE(folder.MakeFolders(planted));
}

TEST(PosixHistoryFolder, FileNotWrittenWhole_IsRemoved_FailuresSayWhy) {
  TempDir temp;
  HistoryFolder& folder = SystemHistoryFolder();
  const std::string dir = (temp / "port-COM3").string();
  ASSERT_TRUE(folder.MakeFolders(dir));
  const std::string file = dir + "/2026-12-08_17-48-02_001_read.tamlo";
  // Beyond the file size limit (ulimit -f 0), in a child that the limit
  // belongs to: the write fails instead of the process being killed.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 0;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool failed = folder.WriteNewFile(file, {'T', 'A', 'M', '0'}) == HistoryFolder::NewFile::Failed;
    ::_exit(failed && folder.LastError() == std::strerror(EFBIG) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(folder.ListNames(dir).empty());

  EXPECT_EQ(folder.WriteNewFile(dir + "/" + std::string(300, 'n'), {1}), HistoryFolder::NewFile::Failed);
  EXPECT_EQ(folder.LastError(), std::strerror(ENAMETOOLONG));
  WriteFileBytes(temp / "file", "x");
  EXPECT_FALSE(folder.MakeFolders((temp / "file" / "port-COM3").string()));
  EXPECT_EQ(folder.LastError(), std::strerror(ENOTDIR));
}

TEST(PosixHistoryFolder, RootUnderTheUserDataFolder) {
  const std::string tail = std::string("/Velmora/") + kApplicationTitle + "/history";
  const struct Case {
    const char* xdg;
    const char* home;
    std::optional<std::string> root;
  } cases[] = {
      {"/x/data", "/home/u", "/x/data" + tail},
      {nullptr, "/home/u", "/home/u/.local/share" + tail},
      {"relative", "/home/u", "/home/u/.local/share" + tail},  // not absolute: ignored
      {"", "/home/u", "/home/u/.local/share" + tail},
      {nullptr, nullptr, std::nullopt},
      {nullptr, "", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.root.value_or("none"));
    EXPECT_EQ(DefaultHistoryRoot(c.xdg, c.home), c.root);
  }
  // The environment both programs read (no other test here reads it).
  ::setenv("XDG_DATA_HOME", "relative", 1);
  ::setenv("HOME", "/home/u", 1);
  EXPECT_EQ(UserHistoryRoot(), "/home/u/.local/share" + tail);
}

}  // namespace
}  // namespace tamlo::device
